// CTabLayoutUI: shows exactly one of its children, the selected page, over its whole
// content area; the others stay hidden.
#pragma once

#include "UIContainer.h"

namespace HiveUI {

class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    int GetCurSel() const { return m_curSel; }
    virtual bool SelectItem(CControlUI* control);
    virtual bool SelectItem(int index);

protected:
    // Hides every page but the selected one, which is shown and focused.
    void ShowOnly(int index);
    void NotifySelection(int oldSel);

    int m_curSel = -1;
};

CControlUI* CreateTabLayoutControl();

}  // namespace HiveUI
