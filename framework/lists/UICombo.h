// CComboUI: a one-line selection control. It shows the selected item's text and opens a
// drop-down window listing its items; the items are list rows it owns as their list owner,
// painted with its list style.
#pragma once

#include "ListInterfaces.h"
#include "ListStyle.h"
#include "UIContainer.h"

namespace HiveUI {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
    friend class CComboWnd;

public:
    CComboUI();
    ~CComboUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    // IListOwnerUI
    int GetListType() override;
    TListStyle* GetListStyle() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;
    bool SelectMultiItem(int index, bool takeFocus = false) override;
    bool UnSelectItem(int index, bool others = false) override;
    void DoEvent(TEventInfo& event) override;

    // IContainerUI, with the rows' owner, index and the selection kept in step.
    bool SetItemIndex(CControlUI* control, int index) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    bool Activate() override;
    CUIString GetText() const override;
    void SetEnabled(bool enable = true) override;
    SIZE EstimateSize(SIZE available) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    CComboWnd* GetDropWindow() const { return m_window; }
    const CUIString& GetDropBoxAttributeList() const { return m_dropBoxAttributes; }
    SIZE GetDropBoxSize() const { return m_dropBoxSize; }
    void SetDropBoxSize(SIZE size) { m_dropBoxSize = size; }
    RECT GetDropBoxInset() const { return m_dropBoxInset; }
    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool scrollSelect) { m_scrollSelect = scrollSelect; }
    bool IsShowShadow() const { return m_showShadow; }
    UINT GetTextStyle() const { return m_textStyle; }
    RECT GetTextPadding() const { return m_textPadding; }
    int GetFont() const { return m_font; }

protected:
    // The rows' index, from the first that moved to the end.
    void RenumberRows(int from);
    // Puts every row out of sight: the rows never paint inside the combo itself.
    void HideRows();
    void AfterRemoval(int removed);
    bool DoKeyDown(TEventInfo& event);

    CComboWnd* m_window;
    int m_curSel;
    DWORD m_textColor;
    DWORD m_disabledTextColor;
    int m_font;
    UINT m_textStyle;
    RECT m_textPadding;
    bool m_showHtml;
    bool m_showShadow;
    CUIString m_dropBoxAttributes;
    UINT m_buttonState;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    SIZE m_dropBoxSize;
    RECT m_dropBoxInset;
    bool m_scrollSelect;
    TListStyle m_listStyle;
};

CControlUI* CreateComboControl();

}  // namespace HiveUI
