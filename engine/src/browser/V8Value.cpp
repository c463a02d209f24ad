#include "V8Value.h"

#include <cmath>
#include <cstdint>

#include "EngineLog.h"
#include "include/cef_task.h"

namespace engine {
namespace {

const char kHandlerKey[] = DUK_HIDDEN_SYMBOL("handler");

ScriptContext* CurrentContext() {
    CefRefPtr<CefV8Context> current = CefV8Context::GetCurrentContext();
    return static_cast<ScriptContext*>(current.get());
}

bool IsIntegral(double d) { return std::isfinite(d) && std::trunc(d) == d; }

// Calls the native handler of the running function and leaves its result on the stack.
duk_ret_t CallHandler(duk_context* heap) {
    ScriptContext* context = ScriptContext::FromHeap(heap);
    duk_push_current_function(heap);
    duk_get_prop_string(heap, -1, kHandlerKey);
    const int id = duk_get_int(heap, -1);
    duk_pop_2(heap);
    const auto handler = context->Handler(id);
    if (!handler.second) return 0;
    CefV8ValueList arguments;
    const duk_idx_t count = duk_get_top(heap);
    for (duk_idx_t i = 0; i < count; ++i) arguments.push_back(V8ValueImpl::FromStack(context, i).get());
    duk_push_this(heap);
    CefRefPtr<CefV8Value> object = V8ValueImpl::FromStack(context, -1).get();
    duk_pop(heap);
    CefRefPtr<CefV8Value> retval;
    CefString exception;
    context->Enter();
    const bool handled = handler.second->Execute(handler.first, object, arguments, retval, exception);
    context->Exit();
    if (!exception.empty()) {
        duk_push_error_object(heap, DUK_ERR_ERROR, "%s", exception.ToString().c_str());
        return duk_throw(heap);
    }
    if (!handled || !retval) return 0;
    V8ValueImpl::Push(context, retval);
    return 1;
}

CefRefPtr<CefV8Value> Primitive(V8ValueImpl::Kind kind) { return new V8ValueImpl(kind); }

// A new object of the current context made by make; null (and logged) outside any context.
CefRefPtr<CefV8Value> NewObject(const char* what, const std::function<void(duk_context*)>& make) {
    ScriptContext* context = CurrentContext();
    if (context == nullptr || !context->IsValid()) {
        EngineLog::Write(LOGSEVERITY_ERROR, std::string(what) + " needs a current script context");
        return nullptr;
    }
    CefRefPtr<CefV8Value> made;
    context->Protect([&](duk_context* heap) {
        make(heap);
        made = V8ValueImpl::FromStack(context, -1).get();
    }, nullptr);
    return made;
}

}  // namespace

V8ValueImpl::~V8ValueImpl() {
    if (context_ && ref_ != 0 && CefCurrentlyOn(TID_RENDERER)) context_->Forget(ref_);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::FromStack(ScriptContext* context, duk_idx_t idx) {
    duk_context* heap = context->Heap();
    switch (duk_get_type(heap, idx)) {
    case DUK_TYPE_NULL: return new V8ValueImpl(kNull);
    case DUK_TYPE_BOOLEAN: {
        CefRefPtr<V8ValueImpl> v = new V8ValueImpl(kBool);
        v->boolean_ = duk_get_boolean(heap, idx) != 0;
        return v;
    }
    case DUK_TYPE_NUMBER: {
        CefRefPtr<V8ValueImpl> v = new V8ValueImpl(kNumber);
        v->number_ = duk_get_number(heap, idx);
        return v;
    }
    case DUK_TYPE_STRING: {
        CefRefPtr<V8ValueImpl> v = new V8ValueImpl(kString);
        duk_size_t len = 0;
        const char* text = duk_get_lstring(heap, idx, &len);
        v->text_ = std::string(text, len);
        return v;
    }
    case DUK_TYPE_OBJECT:
    case DUK_TYPE_LIGHTFUNC:
    case DUK_TYPE_BUFFER: {
        CefRefPtr<V8ValueImpl> v = new V8ValueImpl(kObject);
        v->context_ = context;
        v->ref_ = context->Keep(idx);
        v->heapPtr_ = duk_get_heapptr(heap, idx);
        v->isArray_ = duk_is_array(heap, idx) != 0;
        v->isFunction_ = duk_is_function(heap, idx) != 0;
        if (v->isFunction_ && duk_get_prop_string(heap, idx, kHandlerKey)) v->handlerId_ = duk_get_int(heap, -1);
        if (v->isFunction_) duk_pop(heap);
        return v;
    }
    default: return new V8ValueImpl(kUndefined);
    }
}

void V8ValueImpl::Push(ScriptContext* context, CefRefPtr<CefV8Value> value) {
    duk_context* heap = context->Heap();
    auto* v = dynamic_cast<V8ValueImpl*>(value.get());
    if (v == nullptr) return duk_push_undefined(heap);
    switch (v->kind_) {
    case kNull: return duk_push_null(heap);
    case kBool: return duk_push_boolean(heap, v->boolean_);
    case kNumber: return duk_push_number(heap, v->number_);
    case kString: {
        const std::string text = v->text_.ToString();
        duk_push_lstring(heap, text.data(), text.size());
        return;
    }
    case kObject:
        if (v->context_.get() == context && context->IsValid()) return context->PushKept(v->ref_);
        EngineLog::Write(LOGSEVERITY_ERROR, "an object of another script context was used; undefined instead");
        return duk_push_undefined(heap);
    default: return duk_push_undefined(heap);
    }
}

bool V8ValueImpl::IsValid() { return kind_ != kObject || (context_ && context_->IsValid()); }

// A 32-bit integer as the script engine stores one: -0 is a double.
bool V8ValueImpl::IsInt() {
    return kind_ == kNumber && IsIntegral(number_) && number_ >= INT32_MIN && number_ <= INT32_MAX &&
           !(number_ == 0 && std::signbit(number_));
}

bool V8ValueImpl::IsUInt() {
    return kind_ == kNumber && IsIntegral(number_) && number_ >= 0 && number_ <= UINT32_MAX &&
           !(number_ == 0 && std::signbit(number_));
}

// Numbers convert as the script language's ToInt32 does: truncated, modulo 2^32.
int32_t V8ValueImpl::GetIntValue() {
    if (kind_ != kNumber || !std::isfinite(number_)) return kind_ == kBool ? (boolean_ ? 1 : 0) : 0;
    const double wrapped = std::fmod(std::trunc(number_), 4294967296.0);
    const double positive = wrapped < 0 ? wrapped + 4294967296.0 : wrapped;
    return static_cast<int32_t>(static_cast<uint32_t>(positive));
}

bool V8ValueImpl::IsSame(CefRefPtr<CefV8Value> that) {
    auto* other = dynamic_cast<V8ValueImpl*>(that.get());
    if (other == nullptr || other->kind_ != kind_) return false;
    switch (kind_) {
    case kBool: return boolean_ == other->boolean_;
    case kNumber: return number_ == other->number_;
    case kString: return text_ == other->text_;
    case kObject: return context_ == other->context_ && heapPtr_ == other->heapPtr_;
    default: return true;
    }
}

bool V8ValueImpl::OnObject(const std::function<void(duk_context*)>& work, std::string* error) {
    if (kind_ != kObject || !IsValid()) {
        if (error) *error = "not a live object";
        return false;
    }
    ScriptContext* context = context_.get();
    const unsigned ref = ref_;
    return context->Protect([&](duk_context* heap) {
        context->PushKept(ref);
        work(heap);
    }, error);
}

bool V8ValueImpl::HasValue(const CefString& key) {
    bool has = false;
    const std::string name = key.ToString();
    OnObject([&](duk_context* heap) { has = duk_has_prop_lstring(heap, -1, name.data(), name.size()) != 0; });
    return has;
}

bool V8ValueImpl::HasValue(int index) {
    bool has = false;
    OnObject([&](duk_context* heap) { has = duk_has_prop_index(heap, -1, static_cast<duk_uarridx_t>(index)) != 0; });
    return has;
}

bool V8ValueImpl::DeleteValue(const CefString& key) {
    const std::string name = key.ToString();
    bool deleted = false;
    OnObject([&](duk_context* heap) { deleted = duk_del_prop_lstring(heap, -1, name.data(), name.size()) != 0; });
    return deleted;
}

bool V8ValueImpl::DeleteValue(int index) {
    bool deleted = false;
    OnObject([&](duk_context* heap) { deleted = duk_del_prop_index(heap, -1, static_cast<duk_uarridx_t>(index)) != 0; });
    return deleted;
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(const CefString& key) {
    const std::string name = key.ToString();
    CefRefPtr<CefV8Value> result;
    std::string error;
    OnObject([&](duk_context* heap) {
        duk_get_prop_lstring(heap, -1, name.data(), name.size());
        result = FromStack(context_.get(), -1).get();
    }, &error);
    if (!error.empty()) exception_ = error;
    return result;
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(int index) {
    CefRefPtr<CefV8Value> result;
    OnObject([&](duk_context* heap) {
        duk_get_prop_index(heap, -1, static_cast<duk_uarridx_t>(index));
        result = FromStack(context_.get(), -1).get();
    });
    return result;
}

// The attributes become the property's flags: READONLY not writable, DONTENUM not
// enumerable, DONTDELETE not configurable (so `delete` fails).
bool V8ValueImpl::SetValue(const CefString& key, CefRefPtr<CefV8Value> value, PropertyAttribute attribute) {
    const std::string name = key.ToString();
    std::string error;
    const bool ok = OnObject([&](duk_context* heap) {
        duk_push_lstring(heap, name.data(), name.size());
        Push(context_.get(), value);
        duk_uint_t flags = DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_HAVE_WRITABLE | DUK_DEFPROP_HAVE_ENUMERABLE |
                           DUK_DEFPROP_HAVE_CONFIGURABLE;
        if (!(attribute & V8_PROPERTY_ATTRIBUTE_READONLY)) flags |= DUK_DEFPROP_WRITABLE;
        if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTENUM)) flags |= DUK_DEFPROP_ENUMERABLE;
        if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTDELETE)) flags |= DUK_DEFPROP_CONFIGURABLE;
        duk_def_prop(heap, -3, flags);
    }, &error);
    if (!ok) EngineLog::Write(LOGSEVERITY_WARNING, "setting property " + name + " failed: " + error);
    return ok;
}

bool V8ValueImpl::SetValue(int index, CefRefPtr<CefV8Value> value) {
    return OnObject([&](duk_context* heap) {
        Push(context_.get(), value);
        duk_put_prop_index(heap, -2, static_cast<duk_uarridx_t>(index));
    });
}

bool V8ValueImpl::GetKeys(std::vector<CefString>& keys) {
    return OnObject([&](duk_context* heap) {
        duk_enum(heap, -1, DUK_ENUM_OWN_PROPERTIES_ONLY);
        while (duk_next(heap, -1, 0)) {
            keys.push_back(CefString(duk_safe_to_string(heap, -1)));
            duk_pop(heap);
        }
    });
}

int V8ValueImpl::GetArrayLength() {
    int length = 0;
    if (isArray_) OnObject([&](duk_context* heap) { length = static_cast<int>(duk_get_length(heap, -1)); });
    return length;
}

CefString V8ValueImpl::GetFunctionName() {
    CefString name;
    if (isFunction_) {
        OnObject([&](duk_context* heap) {
            duk_get_prop_string(heap, -1, "name");
            name = std::string(duk_safe_to_string(heap, -1));
        });
    }
    return name;
}

CefRefPtr<CefV8Handler> V8ValueImpl::GetFunctionHandler() {
    return handlerId_ != 0 && context_ ? context_->Handler(handlerId_).second : nullptr;
}

CefRefPtr<CefV8Value> V8ValueImpl::ExecuteFunction(CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments) {
    return ExecuteFunctionWithContext(context_.get(), object, arguments);
}

// A script error inside the call is kept on this value (HasException) and logged.
CefRefPtr<CefV8Value> V8ValueImpl::ExecuteFunctionWithContext(CefRefPtr<CefV8Context> context,
                                                              CefRefPtr<CefV8Value> object,
                                                              const CefV8ValueList& arguments) {
    if (!isFunction_ || !IsValid()) return nullptr;
    CefRefPtr<CefV8Value> result;
    std::string error;
    if (context) context->Enter();
    OnObject([&](duk_context* heap) {
        if (object) Push(context_.get(), object);
        else duk_push_global_object(heap);
        for (const auto& argument : arguments) Push(context_.get(), argument);
        if (duk_pcall_method(heap, static_cast<duk_idx_t>(arguments.size())) != DUK_EXEC_SUCCESS) {
            error = duk_safe_to_string(heap, -1);
            return;
        }
        result = FromStack(context_.get(), -1).get();
    });
    if (context) context->Exit();
    if (!error.empty()) {
        exception_ = error;
        CefRefPtr<CefFrame> frame = context_->GetFrame();
        EngineLog::Write(LOGSEVERITY_ERROR, "Uncaught " + error + " (in a function called by native code, source: " +
                                                (frame ? frame->GetURL().ToString() : std::string()) + ")");
    }
    return result;
}

}  // namespace engine

CefRefPtr<CefV8Value> CefV8Value::CreateUndefined() { return engine::Primitive(engine::V8ValueImpl::kUndefined); }

CefRefPtr<CefV8Value> CefV8Value::CreateNull() { return engine::Primitive(engine::V8ValueImpl::kNull); }

CefRefPtr<CefV8Value> CefV8Value::CreateBool(bool value) {
    CefRefPtr<engine::V8ValueImpl> v = new engine::V8ValueImpl(engine::V8ValueImpl::kBool);
    v->boolean_ = value;
    return v.get();
}

CefRefPtr<CefV8Value> CefV8Value::CreateInt(int32_t value) { return CreateDouble(value); }

CefRefPtr<CefV8Value> CefV8Value::CreateUInt(uint32_t value) { return CreateDouble(value); }

CefRefPtr<CefV8Value> CefV8Value::CreateDouble(double value) {
    CefRefPtr<engine::V8ValueImpl> v = new engine::V8ValueImpl(engine::V8ValueImpl::kNumber);
    v->number_ = value;
    return v.get();
}

CefRefPtr<CefV8Value> CefV8Value::CreateString(const CefString& value) {
    CefRefPtr<engine::V8ValueImpl> v = new engine::V8ValueImpl(engine::V8ValueImpl::kString);
    v->text_ = value;
    return v.get();
}

CefRefPtr<CefV8Value> CefV8Value::CreateObject(CefRefPtr<CefV8Accessor> accessor) {
    if (accessor) {
        engine::EngineLog::Write(LOGSEVERITY_WARNING, "property accessors are not supported; a plain object is made");
    }
    return engine::NewObject("CreateObject", [](duk_context* heap) { duk_push_object(heap); });
}

CefRefPtr<CefV8Value> CefV8Value::CreateArray(int length) {
    return engine::NewObject("CreateArray", [length](duk_context* heap) {
        duk_push_array(heap);
        duk_push_int(heap, length < 0 ? 0 : length);
        duk_put_prop_string(heap, -2, "length");
    });
}

CefRefPtr<CefV8Value> CefV8Value::CreateFunction(const CefString& name, CefRefPtr<CefV8Handler> handler) {
    engine::ScriptContext* context = engine::CurrentContext();
    if (!handler || context == nullptr) {
        engine::EngineLog::Write(LOGSEVERITY_ERROR, "CreateFunction needs a handler and a current script context");
        return nullptr;
    }
    const int id = context->AddHandler(name, handler);
    const std::string text = name.ToString();
    return engine::NewObject("CreateFunction", [id, text](duk_context* heap) {
        duk_push_c_function(heap, engine::CallHandler, DUK_VARARGS);
        duk_push_int(heap, id);
        duk_put_prop_string(heap, -2, engine::kHandlerKey);
        duk_push_string(heap, "name");
        duk_push_lstring(heap, text.data(), text.size());
        duk_def_prop(heap, -3, DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_FORCE);
    });
}
