// CRichEditUI: a multi-line, optionally rich-text edit field without a window of its
// own. It hosts windowless text services, feeds them its manager's messages, draws them
// into its rectangle and maps their scroll bars onto its own; children paint over the text.
#pragma once

#include <windows.h>
#include <richedit.h>

#include "MessageFilterUI.h"
#include "UIContainer.h"
#include "UIString.h"

namespace HiveUI {

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
public:
    CRichEditUI();
    ~CRichEditUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    CUIString GetText() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void DoInit() override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC hdc) override;
    void SetScrollPos(SIZE pos, bool notify = true) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;

    virtual HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const;
    virtual bool OnTxViewChanged();
    virtual void OnTxNotify(DWORD code, void* data);

    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    bool IsMultiLine() const { return (m_style & ES_MULTILINE) != 0; }
    void SetMultiLine(bool multiLine);
    bool IsWantTab() const { return m_wantTab; }
    void SetWantTab(bool want) { m_wantTab = want; }
    bool IsWantReturn() const { return m_wantReturn; }
    void SetWantReturn(bool want) { m_wantReturn = want; }
    bool IsWantCtrlReturn() const { return m_wantCtrlReturn; }
    void SetWantCtrlReturn(bool want) { m_wantCtrlReturn = want; }
    bool IsTransparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    bool IsRich() const { return m_rich; }
    void SetRich(bool rich);
    bool IsReadOnly() const { return m_readOnly; }
    int GetFont() const { return m_font; }
    void SetFont(int font);
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    int GetLimitText() const { return m_limit; }
    void SetLimitText(int count);
    DWORD GetEditStyle() const { return m_style; }
    void SetNormalImage(const wchar_t* image);
    void SetHotImage(const wchar_t* image);
    void SetFocusedImage(const wchar_t* image);
    void SetDisabledImage(const wchar_t* image);
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT padding);
    const CUIString& GetTipValue() const { return m_tipValue; }
    void SetTipValue(const wchar_t* tip) { m_tipValue = tip; }
    DWORD GetTipValueColor() const { return m_tipValueColor; }
    void SetTipValueColor(const wchar_t* color);
    UINT GetTipValueAlign() const { return m_tipValueAlign; }
    CTxtWinHost* GetHost() const { return m_host; }

    long GetTextLength(DWORD flags = GTL_DEFAULT) const;
    void SetSel(long start, long end);
    void ReplaceSel(const wchar_t* text, bool canUndo);
    void SetSelAll();
    WORD GetSelectionType() const;
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();
    void Cut();
    void Copy();
    void Paste();
    void Clear();

protected:
    bool HostOwnsMouse(UINT msg, LPARAM lParam, bool& handled);
    void ShowContextMenu(POINT pt);
    void ScrollBy(UINT msg, WORD code);
    void FitBarToContent(int barWidth);
    LONG NaturalHeight(int width) const;
    void DrawCaretLine(HDC hdc);
    void BlinkCaret();

    CTxtWinHost* m_host;
    bool m_barShownByText;
    bool m_wantTab;
    bool m_wantReturn;
    bool m_wantCtrlReturn;
    bool m_transparent;
    bool m_rich;
    bool m_readOnly;
    DWORD m_textColor;
    int m_font;
    int m_limit;
    DWORD m_style;
    bool m_drawCaret;
    bool m_inited;
    RECT m_textPadding;
    UINT m_state;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    CUIString m_tipValue;
    DWORD m_tipValueColor;
    UINT m_tipValueAlign;
};

// The factory's creator of a rich edit field.
CControlUI* CreateRichEditControl();

}  // namespace HiveUI
