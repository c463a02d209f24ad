// CScrollBarUI: two arrow buttons, a rail and a proportional thumb. A bar owned by a
// container scrolls it through the container's line and page operations; a bar that
// stands alone only moves its own position.
#pragma once

#include <windows.h>

#include "UIControl.h"
#include "UIString.h"

namespace HiveUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    // The bar's repeat timer id and period.
    static const UINT kRepeatTimerId = 10;
    static const UINT kRepeatElapse = 50;
    // State bits of the buttons and the thumb.
    static const UINT kStateDisabled = 0x04;
    static const UINT kStateHot = 0x08;
    static const UINT kStatePushed = 0x10;
    static const UINT kStateCaptured = 0x40;

    CScrollBarUI();
    ~CScrollBarUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // A bar stands beside what its container scrolls, never among it: it never lags behind.
    const RECT& GetPos() const override { return m_item; }
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enable = true) override;
    void SetFocus() override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    CContainerUI* GetOwner() const { return m_owner; }
    void SetOwner(CContainerUI* owner);
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return m_range; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return m_position; }
    void SetScrollPos(int position);
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int size);
    bool GetShowButton1() const { return m_showButton1; }
    void SetShowButton1(bool show);
    bool GetShowButton2() const { return m_showButton2; }
    void SetShowButton2(bool show);
    const RECT& GetButton1Rect() const { return m_button1; }
    const RECT& GetButton2Rect() const { return m_button2; }
    const RECT& GetThumbRect() const { return m_thumb; }
    UINT GetButton1State() const { return m_button1State; }
    UINT GetButton2State() const { return m_button2State; }
    UINT GetThumbState() const { return m_thumbState; }

    void SetButton1NormalImage(const wchar_t* image);
    void SetButton1HotImage(const wchar_t* image);
    void SetButton1PushedImage(const wchar_t* image);
    void SetButton1DisabledImage(const wchar_t* image);
    void SetButton2NormalImage(const wchar_t* image);
    void SetButton2HotImage(const wchar_t* image);
    void SetButton2PushedImage(const wchar_t* image);
    void SetButton2DisabledImage(const wchar_t* image);
    void SetThumbNormalImage(const wchar_t* image);
    void SetThumbHotImage(const wchar_t* image);
    void SetThumbPushedImage(const wchar_t* image);
    void SetThumbDisabledImage(const wchar_t* image);
    void SetRailNormalImage(const wchar_t* image);
    void SetRailHotImage(const wchar_t* image);
    void SetRailPushedImage(const wchar_t* image);
    void SetRailDisabledImage(const wchar_t* image);
    void SetBkNormalImage(const wchar_t* image);
    void SetBkHotImage(const wchar_t* image);
    void SetBkPushedImage(const wchar_t* image);
    void SetBkDisabledImage(const wchar_t* image);

    void PaintBk(HDC hdc);
    void PaintButton1(HDC hdc);
    void PaintButton2(HDC hdc);
    void PaintThumb(HDC hdc);
    void PaintRail(HDC hdc);

private:
    // Normal, hot, pushed, disabled.
    struct TStateImages {
        CUIString normal;
        CUIString hot;
        CUIString pushed;
        CUIString disabled;
    };

    void LayoutHorizontal(int cx, int cy);
    void LayoutVertical(int cx, int cy);
    void OnButtonDown(const TEventInfo& event);
    void OnButtonUp();
    void OnMouseMove(const TEventInfo& event);
    void OnRepeatTimer();
    void StepBack();
    void StepForward();
    void PageBack();
    void PageForward();
    void PageAt(POINT pt);
    void SendScroll();
    void ForwardEvent(TEventInfo& event);
    bool SetStateImage(TStateImages& images, const wchar_t* name, const wchar_t* suffix, const wchar_t* value);
    bool DrawState(HDC hdc, const TStateImages& images, UINT state, const wchar_t* modifier);
    void PaintPart(HDC hdc, const TStateImages& images, UINT& state, const RECT& part);
    void SetImage(CUIString& target, const wchar_t* image);

    bool m_horizontal;
    int m_range;
    int m_position;
    int m_lineSize;
    CContainerUI* m_owner;
    POINT m_lastMouse;
    int m_lastScrollPos;
    int m_lastScrollOffset;
    int m_repeatCount;
    TStateImages m_bkImages;
    bool m_showButton1;
    RECT m_button1;
    UINT m_button1State;
    TStateImages m_button1Images;
    bool m_showButton2;
    RECT m_button2;
    UINT m_button2State;
    TStateImages m_button2Images;
    RECT m_thumb;
    UINT m_thumbState;
    TStateImages m_thumbImages;
    TStateImages m_railImages;
    CUIString m_imageModifier;
};

// The factory's creator of a stand-alone scroll bar.
CControlUI* CreateScrollBarControl();

}  // namespace HiveUI
