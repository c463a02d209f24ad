#include "UIGifAnim.h"

#include <cwchar>

#include "SkinValue.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

// The time dimension of an animated image, {6AEDBD6D-3FB5-418A-83A6-7F45229DC872}.
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
const PROPID kFrameDelayTag = 0x5100;
// Browsers show frames without a delay at this pace too; a 0 ms timer would spin.
const UINT kUndelayedFrameMs = 100;

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

UINT FirstDimensionFrames(Gdiplus::GpImage* image) {
    UINT dimensions = 0;
    if (Gdiplus::DllExports::GdipImageGetFrameDimensionsCount(image, &dimensions) != Gdiplus::Ok || dimensions == 0) {
        return 1;
    }
    std::vector<GUID> ids(dimensions);
    UINT frames = 0;
    if (Gdiplus::DllExports::GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) != Gdiplus::Ok ||
        Gdiplus::DllExports::GdipImageGetFrameCount(image, &ids[0], &frames) != Gdiplus::Ok || frames == 0) {
        return 1;
    }
    return frames;
}

// The delays as stored; an image without the property, or with one of another type,
// gives none, so that every frame takes the default.
std::vector<UINT> FrameDelays(Gdiplus::GpImage* image) {
    UINT size = 0;
    if (Gdiplus::DllExports::GdipGetPropertyItemSize(image, kFrameDelayTag, &size) != Gdiplus::Ok ||
        size < sizeof(Gdiplus::PropertyItem)) {
        return {};
    }
    std::vector<BYTE> buffer(size);
    Gdiplus::PropertyItem* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetPropertyItem(image, kFrameDelayTag, size, item) != Gdiplus::Ok ||
        item->type != PropertyTagTypeLong || item->value == nullptr) {
        return {};
    }
    // The value lies inside the buffer; never read past what GDI+ wrote.
    const size_t room = (buffer.data() + size) - static_cast<BYTE*>(item->value);
    const size_t count = (item->length < room ? item->length : room) / sizeof(ULONG);
    const ULONG* values = static_cast<const ULONG*>(item->value);
    return std::vector<UINT>(values, values + count);
}

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

// The frame is chosen before drawing, so that what shows is always the current frame:
// a stopped animation shows its first frame at once.
bool CGifAnimUI::DoPaint(HDC hdc, const RECT& paint, CControlUI*) {
    RECT shown;
    if (!IntersectRect(&shown, &paint, &m_item)) return true;
    if (!m_image) InitGifImage();
    if (!m_image) return true;
    if (m_frameCount > 1) {
        Gdiplus::DllExports::GdipImageSelectActiveFrame(m_image.get(), &kFrameDimensionTime, m_currentFrame);
    }
    CGdiplusGraphics graphics = GdiplusGraphicsOn(hdc);
    if (graphics) {
        Gdiplus::DllExports::GdipDrawImageRectI(graphics.get(), m_image.get(), m_item.left, m_item.top,
                                               m_item.right - m_item.left, m_item.bottom - m_item.top);
    }
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
    m_image.reset(CUIRender::GdiplusLoadImage(m_imageDescription));
    if (!m_image) return;
    ReadFrames();
    if (m_autoSize) {
        UINT width = 0, height = 0;
        Gdiplus::DllExports::GdipGetImageWidth(m_image.get(), &width);
        Gdiplus::DllExports::GdipGetImageHeight(m_image.get(), &height);
        SetFixedWidth(static_cast<int>(width));
        SetFixedHeight(static_cast<int>(height));
    }
    if (m_autoPlay) PlayGif();
}

void CGifAnimUI::ReadFrames() {
    m_frameCount = FirstDimensionFrames(m_image.get());
    m_currentFrame = 0;
    m_frameDelays.clear();
    if (m_frameCount > 1) m_frameDelays = FrameDelays(m_image.get());
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
