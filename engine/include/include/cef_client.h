// CefClient: the handlers an application gives a browser, and the browser side's
// receiver of process messages.
#pragma once

#include "include/cef_base.h"
#include "include/cef_context_menu_handler.h"
#include "include/cef_dialog_handler.h"
#include "include/cef_display_handler.h"
#include "include/cef_download_handler.h"
#include "include/cef_drag_handler.h"
#include "include/cef_find_handler.h"
#include "include/cef_focus_handler.h"
#include "include/cef_geolocation_handler.h"
#include "include/cef_jsdialog_handler.h"
#include "include/cef_keyboard_handler.h"
#include "include/cef_life_span_handler.h"
#include "include/cef_load_handler.h"
#include "include/cef_process_message.h"
#include "include/cef_render_handler.h"
#include "include/cef_request_handler.h"

class CefClient : public virtual CefBase {
public:
    virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
    virtual CefRefPtr<CefDialogHandler> GetDialogHandler() { return nullptr; }
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
    virtual CefRefPtr<CefDragHandler> GetDragHandler() { return nullptr; }
    virtual CefRefPtr<CefFindHandler> GetFindHandler() { return nullptr; }
    virtual CefRefPtr<CefFocusHandler> GetFocusHandler() { return nullptr; }
    virtual CefRefPtr<CefGeolocationHandler> GetGeolocationHandler() { return nullptr; }
    virtual CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() { return nullptr; }
    virtual CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() { return nullptr; }
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderHandler> GetRenderHandler() { return nullptr; }
    virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
    // A message from the renderer side, on the engine's UI thread; true when handled.
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source_process,
                                          CefRefPtr<CefProcessMessage> message) {
        (void)browser;
        (void)source_process;
        (void)message;
        return false;
    }
};
