// CefContextMenuHandler: the page's right-click menu, on the UI thread.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_menu_model.h"

class CefContextMenuParams : public virtual CefBase {
public:
    typedef cef_context_menu_type_flags_t TypeFlags;
    typedef cef_context_menu_media_type_t MediaType;
    typedef cef_context_menu_edit_state_flags_t EditStateFlags;

    virtual int GetXCoord() = 0;
    virtual int GetYCoord() = 0;
    virtual TypeFlags GetTypeFlags() = 0;
    virtual CefString GetLinkUrl() = 0;
    virtual CefString GetPageUrl() = 0;
    virtual CefString GetFrameUrl() = 0;
    virtual CefString GetSelectionText() = 0;
    virtual MediaType GetMediaType() = 0;
    virtual bool IsEditable() = 0;
    virtual EditStateFlags GetEditStateFlags() = 0;
};

class CefContextMenuHandler : public virtual CefBase {
public:
    typedef cef_event_flags_t EventFlags;

    // model holds the engine's default entries; clearing it shows no menu.
    virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) {
        (void)browser, (void)frame, (void)params, (void)model;
    }
    // True when the application carried out the command itself.
    virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                      CefRefPtr<CefContextMenuParams> params, int command_id,
                                      EventFlags event_flags) {
        (void)browser, (void)frame, (void)params, (void)command_id, (void)event_flags;
        return false;
    }
    virtual void OnContextMenuDismissed(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {
        (void)browser, (void)frame;
    }
};
