// MyCefV8Handler: the render side of the script bridge. Every function of a page's
// `AppExtension` calls it; it answers GetVersion itself and sends every other call, with
// its arguments, to the browser process as a message named after the function.
#pragma once

#include "include/cef_v8.h"

class MyCefV8Handler : public CefV8Handler {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override;

private:
    IMPLEMENT_REFCOUNTING(MyCefV8Handler);
};

// The functions of `AppExtension`, in the order they are put on the object.
extern const char* const kAppExtensionFunctions[13];

// Puts `AppExtension` on the context's global object, undeletable, with every function
// bound to handler.
void BindAppExtension(CefRefPtr<CefV8Context> context, CefRefPtr<CefV8Handler> handler);

// The one handler of this process, made by the application object.
extern CefRefPtr<MyCefV8Handler> g_v8Handler;
