// CListContainerHeaderItemUI: the column head of an extended list. Besides what every
// column head does (it sends "listheaderclick" when clicked), it says whether its column
// is edited in place, chosen from a combo box or checked, and carries the check box that
// checks every row at once.
#pragma once

#include "ListCheckBox.h"
#include "ListHeadBase.h"
#include "UIHorizontalLayout.h"

namespace HiveUI {

class CListContainerHeaderItemUI : public CListHeadBase<CHorizontalLayoutUI> {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;

    bool IsColumnEditable() const { return m_editable; }
    void SetColumnEditable(bool editable) { m_editable = editable; }
    bool IsColumnChoosable() const { return m_choosable; }
    void SetColumnChoosable(bool choosable) { m_choosable = choosable; }
    bool IsColumnCheckable() const { return m_checkable; }
    void SetColumnCheckable(bool checkable) { m_checkable = checkable; }
    void SetCheck(bool check);
    bool GetCheck() const { return m_checkBox.GetCheck(); }

protected:
    const wchar_t* ClickNotification() const override;
    void AdjustTextArea(RECT& area, UINT& style) const override;

private:
    bool m_editable = false;
    bool m_choosable = false;
    bool m_checkable = false;
    CListCheckBox m_checkBox;
};

CControlUI* CreateListContainerHeaderItemControl();

}  // namespace HiveUI
