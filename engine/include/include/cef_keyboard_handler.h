// CefKeyboardHandler: keys reaching a browser's window, on the UI thread.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"

class CefKeyboardHandler : public virtual CefBase {
public:
    // Before the page sees the key; true consumes it.
    virtual bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle os_event,
                               bool* is_keyboard_shortcut) {
        (void)browser, (void)event, (void)os_event, (void)is_keyboard_shortcut;
        return false;
    }
    // After the page left the key unhandled.
    virtual bool OnKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle os_event) {
        (void)browser, (void)event, (void)os_event;
        return false;
    }
};
