// CRollTextUI: a label whose text slides through it from left to right, one step per
// paint. Whoever wants it to roll by itself starts its timers 20 (a step per tick) and
// 21 (the end of the roll, reported as "textrollend") through the manager.
#pragma once

#include <windows.h>

#include "UILabel.h"

namespace HiveUI {

class CRollTextUI : public CLabelUI {
public:
    CRollTextUI();
    ~CRollTextUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetText(const wchar_t* text) override;
    void DoEvent(TEventInfo& event) override;
    void PaintText(HDC hdc) override;

    using CLabelUI::SetPos;
    // Moves the control and measures the text again at the next paint.
    void SetPos(RECT rect);

private:
    int m_position;
    int m_step;
    // 0 until the text was measured.
    int m_extent;
};

// The factory's creator of a rolling text.
CControlUI* CreateRollTextControl();

}  // namespace HiveUI
