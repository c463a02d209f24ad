// CSliderUI: a progress bar with a thumb that the user drags, clicks to, or moves by steps
// with the wheel; "valuechanged" follows a release and every wheel step.
#pragma once

#include <windows.h>

#include "ButtonState.h"
#include "DestructionWatch.h"
#include "UIProgress.h"
#include "UIString.h"

namespace HiveUI {

class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    ~CSliderUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintForeImage(HDC hdc) override;
    // Ignored while the thumb is held.
    void SetValue(int value) override;

    int GetStep() const { return m_step; }
    void SetStep(int step) { m_step = step; }
    SIZE GetThumbSize() const { return m_thumbSize; }
    void SetThumbSize(SIZE size) { m_thumbSize = size; }
    RECT GetThumbRect() const;
    void SetThumbImage(const wchar_t* image);
    void SetThumbHotImage(const wchar_t* image);
    void SetThumbPushedImage(const wchar_t* image);
    bool IsSendMove() const { return m_sendMove; }
    void SetSendMove(bool send) { m_sendMove = send; }

private:
    // The value under the pointer; exact stops at the ends, fractions truncated.
    int ValueAt(POINT pt, bool floating) const;
    void OnButtonUp(const TEventInfo& event);
    void OnWheel(const TEventInfo& event);
    void OnMouseMove(const TEventInfo& event);
    // False when the notification's handlers deleted the slider.
    bool Notify(const wchar_t* type);

    SIZE m_thumbSize;
    UINT m_buttonState;
    int m_step;
    CUIString m_thumbImage;
    CUIString m_thumbHotImage;
    CUIString m_thumbPushedImage;
    CUIString m_thumbModifier;
    bool m_sendMove;
    CDestructionWatch* m_watch;
};

// The factory's creator of a slider.
CControlUI* CreateSliderControl();

}  // namespace HiveUI
