#include "UIFadeButton.h"

#include <cwchar>

namespace HiveUI {

namespace {

const int kFadeElapse = 10;
const int kFadeFrames = 30;

}  // namespace

CControlUI* CreateFadeButtonControl() { return new CFadeButtonUI; }

CFadeButtonUI::CFadeButtonUI() : CUIAnimation(this), m_fadeAlpha(0), m_entering(false), m_leaving(false) {}

CFadeButtonUI::~CFadeButtonUI() { StopAnimation(0); }

const wchar_t* CFadeButtonUI::GetClass() const { return L"FadeButtonUI"; }

LPVOID CFadeButtonUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"FadeButton") == 0) return static_cast<CFadeButtonUI*>(this);
    return CButtonUI::GetInterface(name);
}

void CFadeButtonUI::SetNormalImage(const wchar_t* image) {
    CButtonUI::SetNormalImage(image);
    m_lastImage = image;
}

void CFadeButtonUI::StartFade(bool& flag, int stop, int start) {
    m_fadeAlpha = 0;
    flag = true;
    StopAnimation(stop);
    StartAnimation(kFadeElapse, kFadeFrames, start, false);
    Invalidate();
}

void CFadeButtonUI::DoEvent(TEventInfo& event) {
    if (event.Type == UIEVENT_MOUSEENTER && !IsAnimationRunning(kFadeIn)) return StartFade(m_entering, kFadeOut, kFadeIn);
    if (event.Type == UIEVENT_MOUSELEAVE && !IsAnimationRunning(kFadeOut)) return StartFade(m_leaving, kFadeIn, kFadeOut);
    if (event.Type == UIEVENT_TIMER) OnAnimationElapse(static_cast<int>(event.wParam));
    CButtonUI::DoEvent(event);
}

// The first frame is never fully transparent, so the fade shows from its start.
void CFadeButtonUI::OnAnimationStep(int totalFrames, int currentFrame, int) {
    if (totalFrames <= 0) return;
    m_fadeAlpha = static_cast<BYTE>(static_cast<double>(currentFrame) / totalFrames * 255.0);
    if (m_fadeAlpha == 0) m_fadeAlpha = 10;
    Invalidate();
}

void CFadeButtonUI::DrawFaded(HDC hdc, const CUIString& image, int alpha) {
    wchar_t modifier[32] = {};
    swprintf(modifier, 32, L"fade='%d'", alpha);
    DrawImage(hdc, image, modifier);
}

bool CFadeButtonUI::PaintFadeStart(HDC hdc) {
    if (m_entering) {
        m_entering = false;
        m_lastImage = m_hotImage;
        DrawImage(hdc, m_normalImage);
        return true;
    }
    if (m_leaving) {
        m_leaving = false;
        m_lastImage = m_normalImage;
        DrawImage(hdc, m_hotImage);
        return true;
    }
    return false;
}

void CFadeButtonUI::PaintStatusImage(HDC hdc) {
    m_buttonState = IsFocused() ? (m_buttonState | UISTATE_FOCUSED) : (m_buttonState & ~UISTATE_FOCUSED);
    m_buttonState = IsEnabled() ? (m_buttonState & ~UISTATE_DISABLED) : (m_buttonState | UISTATE_DISABLED);
    const CUIString* image = nullptr;
    if ((m_buttonState & UISTATE_DISABLED) != 0) {
        image = &m_disabledImage;
    } else if ((m_buttonState & UISTATE_PUSHED) != 0) {
        image = &m_pushedImage;
    } else if ((m_buttonState & UISTATE_FOCUSED) != 0) {
        image = &m_focusedImage;
    }
    if (image != nullptr && !image->IsEmpty() && DrawImage(hdc, *image)) return;
    if (m_normalImage.IsEmpty() || PaintFadeStart(hdc)) return;
    const bool fadingOut = IsAnimationRunning(kFadeOut);
    if (IsAnimationRunning(kFadeIn) || fadingOut) {
        m_oldImage = fadingOut ? m_hotImage : m_normalImage;
        m_newImage = fadingOut ? m_normalImage : m_hotImage;
        DrawFaded(hdc, m_oldImage, 255 - m_fadeAlpha);
        DrawFaded(hdc, m_newImage, m_fadeAlpha);
        return;
    }
    if (m_lastImage.IsEmpty()) m_lastImage = m_normalImage;
    DrawImage(hdc, m_lastImage);
}

}  // namespace HiveUI
