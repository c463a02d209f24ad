// The page's right-click menu: the engine's default entries, offered to the context
// menu handler, shown as a native popup menu, and the chosen command run.
#include <windows.h>

#include <vector>

#include "Browser.h"
#include "EngineLog.h"
#include "EngineTrace.h"
#include "HandleOwner.h"
#include "include/cef_context_menu_handler.h"

namespace engine {
namespace {

struct MenuEntry {
    int id;
    std::wstring label;
    cef_menu_item_type_t type;
    bool enabled;
};

class MenuModel : public CefMenuModel {
public:
    bool Clear() override {
        entries_.clear();
        return true;
    }
    int GetCount() override { return static_cast<int>(entries_.size()); }
    bool AddSeparator() override {
        entries_.push_back({-1, std::wstring(), MENUITEMTYPE_SEPARATOR, true});
        return true;
    }
    bool AddItem(int id, const CefString& label) override {
        entries_.push_back({id, label.ToWString(), MENUITEMTYPE_COMMAND, true});
        return true;
    }
    bool InsertItemAt(int index, int id, const CefString& label) override {
        if (index < 0 || index > GetCount()) return false;
        entries_.insert(entries_.begin() + index, {id, label.ToWString(), MENUITEMTYPE_COMMAND, true});
        return true;
    }
    bool Remove(int id) override { return RemoveAt(GetIndexOf(id)); }
    bool RemoveAt(int index) override {
        if (index < 0 || index >= GetCount()) return false;
        entries_.erase(entries_.begin() + index);
        return true;
    }
    int GetIndexOf(int id) override {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].id == id && entries_[i].type != MENUITEMTYPE_SEPARATOR) return static_cast<int>(i);
        }
        return -1;
    }
    int GetCommandIdAt(int index) override { return Valid(index) ? entries_[index].id : -1; }
    CefString GetLabel(int id) override { return GetLabelAt(GetIndexOf(id)); }
    CefString GetLabelAt(int index) override { return Valid(index) ? entries_[index].label : std::wstring(); }
    MenuItemType GetType(int id) override { return GetTypeAt(GetIndexOf(id)); }
    MenuItemType GetTypeAt(int index) override { return Valid(index) ? entries_[index].type : MENUITEMTYPE_NONE; }
    bool IsEnabled(int id) override {
        const int i = GetIndexOf(id);
        return Valid(i) && entries_[i].enabled;
    }
    bool SetEnabled(int id, bool enabled) override {
        const int i = GetIndexOf(id);
        if (!Valid(i)) return false;
        entries_[i].enabled = enabled;
        return true;
    }
    const std::vector<MenuEntry>& Entries() const { return entries_; }

private:
    bool Valid(int index) const { return index >= 0 && index < static_cast<int>(entries_.size()); }
    std::vector<MenuEntry> entries_;
    IMPLEMENT_REFCOUNTING(MenuModel);
};

class ContextMenuParams : public CefContextMenuParams {
public:
    ContextMenuParams(POINT point, const CefString& url) : point_(point), url_(url) {}
    int GetXCoord() override { return point_.x; }
    int GetYCoord() override { return point_.y; }
    // This engine's pages have no links, media, selection or fields: every click is on the page.
    TypeFlags GetTypeFlags() override { return CM_TYPEFLAG_PAGE; }
    CefString GetLinkUrl() override { return CefString(); }
    CefString GetPageUrl() override { return url_; }
    CefString GetFrameUrl() override { return url_; }
    CefString GetSelectionText() override { return CefString(); }
    MediaType GetMediaType() override { return CM_MEDIATYPE_NONE; }
    bool IsEditable() override { return false; }
    EditStateFlags GetEditStateFlags() override { return CM_EDITFLAG_NONE; }

private:
    POINT point_;
    CefString url_;
    IMPLEMENT_REFCOUNTING(ContextMenuParams);
};

}  // namespace

void BrowserImpl::ShowContextMenu(POINT clientPoint) {
    CefRefPtr<MenuModel> model = new MenuModel();
    model->AddItem(MENU_ID_BACK, "&Back");
    model->SetEnabled(MENU_ID_BACK, CanGoBack());
    model->AddItem(MENU_ID_FORWARD, "&Forward");
    model->SetEnabled(MENU_ID_FORWARD, CanGoForward());
    model->AddItem(MENU_ID_RELOAD, "&Reload");
    model->AddSeparator();
    model->AddItem(MENU_ID_PRINT, "&Print...");
    model->AddItem(MENU_ID_VIEW_SOURCE, "View s&ource");
    CefRefPtr<CefContextMenuParams> params = new ContextMenuParams(clientPoint, frame_->GetURL());
    CefRefPtr<CefContextMenuHandler> handler = client_ ? client_->GetContextMenuHandler() : nullptr;
    if (handler) handler->OnBeforeContextMenu(this, frame_.get(), params, model.get());
    Trace("context menu id=" + std::to_string(id_) + " entries=" + std::to_string(model->GetCount()));
    if (model->GetCount() == 0 || window_ == nullptr) return;
    MenuHandle menu(CreatePopupMenu());
    for (const MenuEntry& entry : model->Entries()) {
        if (entry.type == MENUITEMTYPE_SEPARATOR) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu.get(), MF_STRING | (entry.enabled ? 0 : MF_GRAYED), static_cast<UINT_PTR>(entry.id),
                        entry.label.c_str());
        }
    }
    POINT screen = clientPoint;
    ClientToScreen(window_, &screen);
    const int command = static_cast<int>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, window_, nullptr));
    if (command != 0 && !(handler && handler->OnContextMenuCommand(this, frame_.get(), params, command, EVENTFLAG_NONE))) {
        RunMenuCommand(command);
    }
    if (handler) handler->OnContextMenuDismissed(this, frame_.get());
}

void BrowserImpl::RunMenuCommand(int commandId) {
    switch (commandId) {
    case MENU_ID_BACK: return GoBack();
    case MENU_ID_FORWARD: return GoForward();
    case MENU_ID_RELOAD:
    case MENU_ID_RELOAD_NOCACHE: return Reload();
    case MENU_ID_STOPLOAD: return StopLoad();
    case MENU_ID_COPY: return frame_->Copy();
    case MENU_ID_PASTE: return frame_->Paste();
    case MENU_ID_PRINT: return Print();
    case MENU_ID_VIEW_SOURCE: return frame_->ViewSource();
    default:
        EngineLog::Write(LOGSEVERITY_WARNING, "menu command " + std::to_string(commandId) + " has no engine action");
    }
}

}  // namespace engine
