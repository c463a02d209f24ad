// CListTextElementUI: a row with one text per header column, drawn into the owner list's
// column rectangles, whose tagged texts may hold links that a click reports as "link".
#pragma once

#include <vector>

#include "UIListLabelElement.h"

namespace HiveUI {

class CListTextElementUI : public CListLabelElementUI {
public:
    // Links beyond this many, over all columns, are drawn but cannot be clicked.
    static constexpr int kMaxLinks = 8;

    CListTextElementUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetOwner(CControlUI* owner) override;
    void DoEvent(TEventInfo& event) override;
    SIZE EstimateSize(SIZE available) override;
    void DrawItemText(HDC hdc, const RECT& rect) override;

    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;
    // The column's text, null when the column has none.
    const wchar_t* GetText(int column) const;
    // Stores the column's text, making room for the columns before it.
    void SetText(int column, const wchar_t* text);

protected:
    int LinkAt(POINT pt) const;
    // Cursor, click and hover over the links; true when the event ends there.
    bool DoLinkEvent(TEventInfo& event);
    // Lets a row keep part of a cell for something of its own, or change how it is drawn.
    virtual void AdjustCell(int column, RECT& cell, UINT& format) const;

    int m_linkCount;
    RECT m_links[kMaxLinks];
    CUIString m_linkTexts[kMaxLinks];
    int m_hotLink;
    IListUI* m_list;
    std::vector<CUIString> m_columnTexts;

private:
    // Holds a looked-up resource text for the pointer GetText hands out.
    mutable CUIString m_resourceText;
};

CControlUI* CreateListTextElementControl();

}  // namespace HiveUI
