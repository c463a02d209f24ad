// CListHeaderUI: the row of column heads over a list. It decides the column widths, from
// the heads' own widths or, with "scaleheader", from their percentages of its width.
#pragma once

#include "UIHorizontalLayout.h"

namespace HiveUI {

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;

    bool IsScaleHeader() const { return m_scaleHeader; }
    void SetScaleHeader(bool scale) { m_scaleHeader = scale; }

private:
    // The width that head percentages share: the header less its list's vertical bar.
    int ScaleBase() const;

    bool m_scaleHeader = false;
};

CControlUI* CreateListHeaderControl();

}  // namespace HiveUI
