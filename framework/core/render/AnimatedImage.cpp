#include "AnimatedImage.h"

#include <utility>

#include "UIRender.h"

namespace HiveUI {

CAnimatedImage::CAnimatedImage(HBITMAP frames, int width, int height, UINT count, bool hasAlpha,
                               std::vector<UINT> delays)
    : m_frames(frames), m_width(width), m_height(height), m_count(count), m_hasAlpha(hasAlpha),
      m_delays(std::move(delays)) {}

void CAnimatedImage::DrawFrame(HDC hdc, UINT frame, const RECT& dest, const RECT& paint) const {
    if (frame >= m_count) return;
    const int top = static_cast<int>(frame) * m_height;
    const RECT source = {0, top, m_width, top + m_height};
    CUIRender::DrawImage(hdc, m_frames.Get(), dest, paint, source, RECT{0, 0, 0, 0}, m_hasAlpha);
}

}  // namespace HiveUI
