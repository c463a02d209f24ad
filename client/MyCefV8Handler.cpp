#include "MyCefV8Handler.h"

#include "include/cef_browser.h"
#include "include/cef_process_message.h"

#include "ServerLines.h"
#include "UpdateCheck.h"

CefRefPtr<MyCefV8Handler> g_v8Handler;

const char* const kAppExtensionFunctions[13] = {
    "ChangeLine",   "GetVersion",    "ResizeWindow",    "WindowCenter", "SetThemeColor",
    "SetBorder",    "ShowDevTools",  "SetWinTitle",     "WindowVisible", "SendMenuMessage",
    "WindowFlash",  "SetTitleColor", "PlayMp3",
};

void BindAppExtension(CefRefPtr<CefV8Context> context, CefRefPtr<CefV8Handler> handler) {
    CefRefPtr<CefV8Value> extension = CefV8Value::CreateObject(nullptr);
    context->GetGlobal()->SetValue("AppExtension", extension, V8_PROPERTY_ATTRIBUTE_DONTDELETE);
    for (const char* name : kAppExtensionFunctions) {
        extension->SetValue(name, CefV8Value::CreateFunction(name, handler), V8_PROPERTY_ATTRIBUTE_DONTDELETE);
    }
}

// Only 32-bit integers travel as integers; every other value, a number out of that range
// included, travels as text, and only strings have any.
bool MyCefV8Handler::Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& arguments,
                             CefRefPtr<CefV8Value>& retval, CefString&) {
    if (name == "GetVersion") {
        retval = CefV8Value::CreateString(kClientVersion);
        return true;
    }
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
    CefRefPtr<CefListValue> args = message->GetArgumentList();
    args->SetSize(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        CefRefPtr<CefValue> value = CefValue::Create();
        const CefRefPtr<CefV8Value>& argument = arguments[i];
        if (argument->IsInt()) {
            value->SetInt(argument->GetIntValue());
        } else {
            value->SetString(argument->IsString() ? argument->GetStringValue() : CefString());
        }
        args->SetValue(i, value);
    }
    CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
    // Only here is a call's frame known. Where the engine has sub-frames (an advertisement,
    // an embedded page; ours gives a browser its main frame only), a sub-frame's call is
    // dropped unless its own document is of a server line's origin, without a log line
    // that a page calling in a loop would repeat. The main frame's page is judged on the
    // browser side, which knows when it is the client's own error page.
    CefRefPtr<CefFrame> frame = context ? context->GetFrame() : nullptr;
    if (frame && !frame->IsMain() && !IsServerLineOrigin(frame->GetURL().ToString())) return true;
    CefRefPtr<CefBrowser> browser = context ? context->GetBrowser() : nullptr;
    if (browser) browser->SendProcessMessage(PID_BROWSER, message);
    return true;
}
