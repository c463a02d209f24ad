// CListHeaderItemUI: one column head of a list header. A click on it sends "headerclick";
// its separator, a band at its right (or, with a negative width, left) edge, can be
// dragged to make the column wider or narrower.
#pragma once

#include "ListHeadBase.h"
#include "UIContainer.h"

namespace HiveUI {

class CListHeaderItemUI : public CListHeadBase<CContainerUI> {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    int GetScale() const { return m_scale; }
    void SetScale(int scale) { m_scale = scale; }

protected:
    const wchar_t* ClickNotification() const override;

private:
    int m_scale = 0;
};

CControlUI* CreateListHeaderItemControl();

}  // namespace HiveUI
