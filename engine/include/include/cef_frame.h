// CefFrame: one document frame of a browser.
#pragma once

#include "include/cef_base.h"

class CefBrowser;
class CefV8Context;

class CefFrame : public virtual CefBase {
public:
    virtual bool IsValid() = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void Delete() = 0;
    virtual void SelectAll() = 0;
    virtual void ViewSource() = 0;
    virtual void LoadURL(const CefString& url) = 0;
    // Shows string_val as the document of url without fetching anything.
    virtual void LoadString(const CefString& string_val, const CefString& url) = 0;
    virtual void ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line) = 0;
    virtual bool IsMain() = 0;
    virtual bool IsFocused() = 0;
    virtual CefString GetName() = 0;
    virtual int64_t GetIdentifier() = 0;
    virtual CefRefPtr<CefFrame> GetParent() = 0;
    virtual CefString GetURL() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    // The frame's current script context; only on the renderer thread.
    virtual CefRefPtr<CefV8Context> GetV8Context() = 0;
};
