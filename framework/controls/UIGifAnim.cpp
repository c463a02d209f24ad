#include "UIGifAnim.h"

#include <cwchar>

#include "SkinValue.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

// Browsers show frames without a delay at this pace too; a 0 ms timer would spin.
const UINT kUndelayedFrameMs = 100;

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

}  // namespace

CControlUI* CreateGifAnimControl() { return new CGifAnimUI; }

CGifAnimUI::CGifAnimUI()
    : m_frameCount(0), m_currentFrame(0), m_autoPlay(true), m_autoSize(false), m_playing(false) {}

CGifAnimUI::~CGifAnimUI() {
    DeleteGif();
    if (m_manager != nullptr) m_manager->KillTimer(this, kTimerId);
}

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnimUI"; }

LPVOID CGifAnimUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"GifAnim") == 0) return this;
    return CControlUI::GetInterface(name);
}

void CGifAnimUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    if (visible) {
        PlayGif();
    } else {
        StopGif();
    }
}

void CGifAnimUI::DoInit() { InitGifImage(); }

// Only the frame timer concerns the animation; other events stop here.
void CGifAnimUI::DoEvent(TEventInfo& event) {
    if (event.Type == UIEVENT_TIMER && event.wParam == kTimerId) OnTimer();
}

void CGifAnimUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"bkimage")) {
        SetBkImage(value);
    } else if (Is(name, L"autoplay")) {
        SetAutoPlay(ReadSkinBool(value));
    } else if (Is(name, L"autosize")) {
        SetAutoSize(ReadSkinBool(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// What shows is always the current frame: a stopped animation shows its first frame at once.
bool CGifAnimUI::DoPaint(HDC hdc, const RECT& paint, CControlUI*) {
    RECT shown;
    if (!IntersectRect(&shown, &paint, &m_item)) return true;
    if (!m_image) InitGifImage();
    if (m_image) m_image->DrawFrame(hdc, m_currentFrame, m_item, shown);
    return true;
}

void CGifAnimUI::PlayGif() {
    if (m_playing || !m_image || m_frameCount < 2 || m_manager == nullptr) return;
    m_playing = m_manager->SetTimer(this, kTimerId, GetFrameDelay(m_currentFrame));
}

void CGifAnimUI::StopGif() {
    if (!m_playing) return;
    if (m_manager != nullptr) m_manager->KillTimer(this, kTimerId);
    m_currentFrame = 0;
    Invalidate();
    m_playing = false;
}

void CGifAnimUI::SetBkImage(const wchar_t* image) {
    if (image == nullptr || m_imageDescription == image) return;
    m_imageDescription = image;
    StopGif();
    DeleteGif();
    Invalidate();
}

UINT CGifAnimUI::GetFrameDelay(UINT frame) const {
    const UINT hundredths = frame < m_frameDelays.size() ? m_frameDelays[frame] : 0;
    return hundredths == 0 ? kUndelayedFrameMs : hundredths * 10;
}

void CGifAnimUI::InitGifImage() {
    if (m_image) return;
    m_image.reset(CUIRender::LoadAnimatedImage(m_imageDescription));
    if (!m_image) return;
    ReadFrames();
    if (m_autoSize) {
        SetFixedWidth(m_image->GetWidth());
        SetFixedHeight(m_image->GetHeight());
    }
    if (m_autoPlay) PlayGif();
}

void CGifAnimUI::ReadFrames() {
    m_frameCount = m_image->GetFrameCount();
    m_currentFrame = 0;
    m_frameDelays = m_image->GetDelays();
}

void CGifAnimUI::DeleteGif() {
    m_image.reset();
    m_frameDelays.clear();
    m_frameCount = 0;
    m_currentFrame = 0;
}

// A tick that arrives after the animation stopped must not start the timer again.
void CGifAnimUI::OnTimer() {
    if (!m_playing || m_frameCount == 0 || m_manager == nullptr) return;
    m_manager->KillTimer(this, kTimerId);
    Invalidate();
    m_currentFrame = (m_currentFrame + 1) % m_frameCount;
    if (!m_manager->SetTimer(this, kTimerId, GetFrameDelay(m_currentFrame))) m_playing = false;
}

}  // namespace HiveUI
