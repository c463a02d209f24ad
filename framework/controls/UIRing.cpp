#include "UIRing.h"

#include <cwchar>

#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

const UINT kTurnTimer = 100;
const UINT kTurnElapse = 100;

}  // namespace

CControlUI* CreateRingControl() { return new CRingUI; }

CRingUI::CRingUI() : m_angle(0.0f) {}

CRingUI::~CRingUI() {
    if (m_manager != nullptr) m_manager->KillTimer(this, kTurnTimer);
}

const wchar_t* CRingUI::GetClass() const { return L"RingUI"; }

LPVOID CRingUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"Ring") == 0) return static_cast<CRingUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CRingUI::SetRingImage(const wchar_t* image) {
    if (m_bkImage == image) return;
    m_bkImage = image;
    m_image.reset();
    Invalidate();
}

void CRingUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"bkimage") == 0) return SetRingImage(value);
    CLabelUI::SetAttribute(name, value);
}

void CRingUI::DoEvent(TEventInfo& event) {
    if (event.Type != UIEVENT_TIMER || event.wParam != kTurnTimer) return CLabelUI::DoEvent(event);
    if (m_angle > 359.0f) m_angle = 0.0f;
    m_angle += 36.0f;
    Invalidate();
}

// Only a ring with an image turns: without one no timer runs.
void CRingUI::PaintBkImage(HDC hdc) {
    if (!m_image) {
        m_image.reset(CUIRender::GdiplusLoadImage(m_bkImage));
        if (m_image && m_manager != nullptr) m_manager->SetTimer(this, kTurnTimer, kTurnElapse);
    }
    if (!m_image) return;
    CGdiplusGraphics graphics = GdiplusGraphicsOn(hdc);
    if (!graphics) return;
    const int width = m_item.right - m_item.left;
    const int height = m_item.bottom - m_item.top;
    const float centreX = static_cast<float>(m_item.left + width / 2);
    const float centreY = static_cast<float>(m_item.top + height / 2);
    using namespace Gdiplus::DllExports;
    GdipTranslateWorldTransform(graphics.get(), centreX, centreY, Gdiplus::MatrixOrderPrepend);
    GdipRotateWorldTransform(graphics.get(), m_angle, Gdiplus::MatrixOrderPrepend);
    GdipTranslateWorldTransform(graphics.get(), -centreX, -centreY, Gdiplus::MatrixOrderPrepend);
    GdipDrawImageRectI(graphics.get(), m_image.get(), m_item.left, m_item.top, width, height);
}

}  // namespace HiveUI
