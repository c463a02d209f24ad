// CGifAnimUI: an animated image (GIF), decoded once into ready premultiplied frames, its
// frames advanced on a control timer with the delays stored in the image. The main
// window's loading animation.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "AnimatedImage.h"
#include "UIControl.h"
#include "UIString.h"

namespace HiveUI {

class CGifAnimUI : public CControlUI {
public:
    CGifAnimUI();
    ~CGifAnimUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetVisible(bool visible = true) override;
    void DoInit() override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    void PlayGif();
    void StopGif();
    // The image description; a new one stops the animation and drops the loaded image.
    void SetBkImage(const wchar_t* image);
    const CUIString& GetBkImage() const { return m_imageDescription; }
    bool IsAutoPlay() const { return m_autoPlay; }
    void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

    UINT GetFrameCount() const { return m_frameCount; }
    UINT GetCurrentFrame() const { return m_currentFrame; }
    bool IsPlaying() const { return m_playing; }
    // How long the frame stays, in milliseconds.
    UINT GetFrameDelay(UINT frame) const;

    static constexpr UINT kTimerId = 100;

protected:
    void InitGifImage();
    void DeleteGif();
    void OnTimer();

    std::unique_ptr<CAnimatedImage> m_image;
    UINT m_frameCount;
    UINT m_currentFrame;
    // Hundredths of a second per frame, as the image stores them; may be shorter than
    // the frame count when the image has fewer entries.
    std::vector<UINT> m_frameDelays;
    CUIString m_imageDescription;
    bool m_autoPlay;
    bool m_autoSize;
    bool m_playing;

private:
    void ReadFrames();
};

// The factory's creator of an animated image.
CControlUI* CreateGifAnimControl();

}  // namespace HiveUI
