// CListRowBase: what every row of a list, combo box, tree view or menu shares whatever
// control it is built on: its place and selection in its owner, selecting itself through
// the owner, the hot state, activation, and its background from the owner's list style.
#pragma once

#include <windows.h>

#include "ButtonState.h"
#include "ListInterfaces.h"
#include "ListStyle.h"
#include "UIControl.h"

namespace HiveUI {

template <class Base>
class CListRowBase : public Base, public IListItemUI {
public:
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enable = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    int GetIndex() const override;
    void SetIndex(int index) override;
    IListOwnerUI* GetOwner() override;
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;
    bool Select(bool select = true) override;
    bool SelectMulti(bool select = true) override;
    bool IsExpanded() const override;
    bool Expand(bool expand = true) override;

    virtual void DrawItemBk(HDC hdc, const RECT& rect);

protected:
    // The owner's style, or null without an owner.
    TListStyle* Style() const;
    // Presses select, a release reports "itemclick", the pointer sets the hot state;
    // false when the event is not one of these.
    bool DoRowMouseEvent(TEventInfo& event);
    // A double click or Return activates an enabled row; false for other events.
    bool DoActivateEvent(TEventInfo& event);
    // Events a row leaves alone are the owner's, or its own control's without an owner.
    void PassToOwner(TEventInfo& event);
    // A row that deselects itself tells its owner, so that the owner's selection keeps
    // no index of an unselected row.
    void TellOwnerDeselected();

    int m_index = -1;
    bool m_selected = false;
    UINT m_buttonState = 0;
    IListOwnerUI* m_owner = nullptr;
    CControlUI* m_ownerControl = nullptr;
};

}  // namespace HiveUI
