// CefV8Value on Duktape: primitives held by value, objects as references kept alive in
// their context's heap. Renderer thread only.
#pragma once

#include <duktape.h>

#include <string>

#include "ScriptContext.h"
#include "include/cef_v8.h"

namespace engine {

class V8ValueImpl : public CefV8Value {
public:
    enum Kind { kUndefined, kNull, kBool, kNumber, kString, kObject };

    V8ValueImpl(Kind kind) : kind_(kind) {}
    ~V8ValueImpl() override;

    // The value at idx of the context's heap.
    static CefRefPtr<V8ValueImpl> FromStack(ScriptContext* context, duk_idx_t idx);
    // Pushes the value onto the context's heap; undefined for an object of another context.
    static void Push(ScriptContext* context, CefRefPtr<CefV8Value> value);

    bool IsValid() override;
    bool IsUndefined() override { return kind_ == kUndefined; }
    bool IsNull() override { return kind_ == kNull; }
    bool IsBool() override { return kind_ == kBool; }
    bool IsInt() override;
    bool IsUInt() override;
    bool IsDouble() override { return kind_ == kNumber; }
    bool IsDate() override { return isDate_; }
    bool IsString() override { return kind_ == kString; }
    bool IsObject() override { return kind_ == kObject; }
    bool IsArray() override { return isArray_; }
    bool IsFunction() override { return isFunction_; }
    bool IsSame(CefRefPtr<CefV8Value> that) override;
    bool GetBoolValue() override { return kind_ == kBool && boolean_; }
    int32_t GetIntValue() override;
    uint32_t GetUIntValue() override { return static_cast<uint32_t>(GetIntValue()); }
    double GetDoubleValue() override { return kind_ == kNumber ? number_ : 0.0; }
    CefString GetStringValue() override { return kind_ == kString ? text_ : CefString(); }

    bool HasException() override { return !exception_.empty(); }
    bool ClearException() override {
        exception_.clear();
        return true;
    }
    bool HasValue(const CefString& key) override;
    bool HasValue(int index) override;
    bool DeleteValue(const CefString& key) override;
    bool DeleteValue(int index) override;
    CefRefPtr<CefV8Value> GetValue(const CefString& key) override;
    CefRefPtr<CefV8Value> GetValue(int index) override;
    bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value, PropertyAttribute attribute) override;
    bool SetValue(int index, CefRefPtr<CefV8Value> value) override;
    bool GetKeys(std::vector<CefString>& keys) override;
    int GetArrayLength() override;
    CefString GetFunctionName() override;
    CefRefPtr<CefV8Handler> GetFunctionHandler() override;
    CefRefPtr<CefV8Value> ExecuteFunction(CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments) override;
    CefRefPtr<CefV8Value> ExecuteFunctionWithContext(CefRefPtr<CefV8Context> context, CefRefPtr<CefV8Value> object,
                                                     const CefV8ValueList& arguments) override;

    Kind kind_;
    bool boolean_ = false;
    double number_ = 0;
    CefString text_;
    CefRefPtr<ScriptContext> context_;  // objects only
    unsigned ref_ = 0;
    void* heapPtr_ = nullptr;
    bool isArray_ = false;
    bool isFunction_ = false;
    bool isDate_ = false;
    int handlerId_ = 0;

private:
    // Runs work with this object pushed at the top of the stack.
    bool OnObject(const std::function<void(duk_context*)>& work, std::string* error = nullptr);

    std::string exception_;
    IMPLEMENT_REFCOUNTING(V8ValueImpl);
};

}  // namespace engine
