// CAnimationTabLayoutUI: a tab layout that slides the newly selected page in from the
// side (or from above or below) over fifteen frames.
#pragma once

#include "UIAnimation.h"
#include "UITabLayout.h"

namespace HiveUI {

class CAnimationTabLayoutUI : public CTabLayoutUI, public CUIAnimation {
public:
    CAnimationTabLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    bool SelectItem(int index) override;
    using CTabLayoutUI::SelectItem;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void OnAnimationStep(int totalFrames, int currentFrame, int animationId) override;
    void OnAnimationStop(int animationId) override;

    bool IsVerticalDirection() const { return m_vertical; }

    enum { kSlideAnimation = 1, kFrameElapse = 10, kFrames = 15, kStartInset = 52 };

private:
    void AnimationSwitch();
    void ShowCurrentPage();

    bool m_vertical = false;
    int m_direction = 1;
    RECT m_curPos = {0, 0, 0, 0};
    RECT m_oldItem = {0, 0, 0, 0};
    CControlUI* m_currentPage = nullptr;
    bool m_pageShown = false;
};

CControlUI* CreateAnimationTabLayoutControl();

}  // namespace HiveUI
