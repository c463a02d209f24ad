// CefMenuModel: the entries of a context menu before it is shown.
#pragma once

#include "include/cef_base.h"

class CefMenuModel : public virtual CefBase {
public:
    typedef cef_menu_item_type_t MenuItemType;

    virtual bool Clear() = 0;
    virtual int GetCount() = 0;
    virtual bool AddSeparator() = 0;
    virtual bool AddItem(int command_id, const CefString& label) = 0;
    virtual bool InsertItemAt(int index, int command_id, const CefString& label) = 0;
    virtual bool Remove(int command_id) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual int GetIndexOf(int command_id) = 0;
    virtual int GetCommandIdAt(int index) = 0;
    virtual CefString GetLabel(int command_id) = 0;
    virtual CefString GetLabelAt(int index) = 0;
    virtual MenuItemType GetType(int command_id) = 0;
    virtual MenuItemType GetTypeAt(int index) = 0;
    virtual bool IsEnabled(int command_id) = 0;
    virtual bool SetEnabled(int command_id, bool enabled) = 0;
};
