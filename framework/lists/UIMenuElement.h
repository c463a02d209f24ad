// CMenuElementUI: one item of a popup menu: a text with an optional icon, check state and
// expand arrow, or a separator line. Items nested inside an item form its sub-menu, which
// opens in a window of its own.
#pragma once

#include "UIListContainerElement.h"
#include "UIString.h"

namespace HiveUI {

class CMenuWnd;

class CMenuElementUI : public CListContainerElementUI {
public:
    CMenuElementUI();
    ~CMenuElementUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void DrawItemText(HDC hdc, const RECT& rect) override;
    SIZE EstimateSize(SIZE available) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void SetLineType();
    void SetLineColor(DWORD color) { m_lineColor = color; }
    void SetLinePadding(RECT padding) { m_linePadding = padding; }
    void SetIcon(const wchar_t* icon) { m_icon = icon; }
    void SetIconSize(LONG width, LONG height) { m_iconSize = {width, height}; }
    void SetCheckItem(bool checkItem) { m_checkItem = checkItem; }
    void SetShowExplandIcon(bool show) { m_showExplandIcon = show; }
    bool IsLine() const { return m_drawLine; }

    bool GetChecked() const;
    void SetChecked(bool checked);
    static void SetItemInfo(const wchar_t* name, bool checked);

    CMenuWnd* GetMenuWnd() const { return m_window; }
    // After its sub-menu window is gone: the nested items are this item's again, hidden.
    void TakeBackSubMenu();
    void CreateMenuWnd();
    bool HasSubMenu() const;
    // The window that shows this item, for the closing flag and the broadcasts.
    HWND PaintWindow() const;

private:
    void ShowSubItems();
    void OpenSubMenu();
    void Enter();
    void Click();
    void PostClick();
    void DrawIcon(HDC hdc);
    void DrawExplandIcon(HDC hdc);
    // Draws an image over the item's area given in scaled pixels relative to the item.
    void DrawAt(HDC hdc, const wchar_t* image, RECT scaled);

    CMenuWnd* m_window = nullptr;
    bool m_drawLine = false;
    DWORD m_lineColor = 0xFFBCBFC4;
    RECT m_linePadding = {29, 0, 7, 0};
    SIZE m_iconSize = {16, 16};
    CUIString m_icon;
    bool m_checkItem = false;
    bool m_showExplandIcon = false;
};

CControlUI* CreateMenuElementControl();

}  // namespace HiveUI
