// CFadeButtonUI: a button that cross-fades between its normal and hot images when the
// pointer enters and leaves it.
#pragma once

#include <windows.h>

#include "UIAnimation.h"
#include "UIButton.h"
#include "UIString.h"

namespace HiveUI {

class CFadeButtonUI : public CButtonUI, public CUIAnimation {
public:
    CFadeButtonUI();
    ~CFadeButtonUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    void PaintStatusImage(HDC hdc) override;
    void SetNormalImage(const wchar_t* image) override;

    void OnAnimationStep(int totalFrames, int currentFrame, int animationId) override;

private:
    enum { kFadeIn = 8, kFadeOut = 9 };

    void StartFade(bool& flag, int stop, int start);
    // The first paint of a fade shows the look it starts from; true when that was it.
    bool PaintFadeStart(HDC hdc);
    void DrawFaded(HDC hdc, const CUIString& image, int alpha);

    CUIString m_oldImage;
    CUIString m_newImage;
    CUIString m_lastImage;
    BYTE m_fadeAlpha;
    bool m_entering;
    bool m_leaving;
};

// The factory's creator of a fade button.
CControlUI* CreateFadeButtonControl();

}  // namespace HiveUI
