// IUIAnimation and CUIAnimation: timer-driven frame animations of one owner control.
// An animating control derives from CUIAnimation beside its control base, passes its
// timer events to OnAnimationElapse and draws each frame in the hooks.
#pragma once

#include <memory>
#include <vector>

namespace HiveUI {

class CControlUI;

class IUIAnimation {
public:
    virtual ~IUIAnimation() = default;
    virtual bool StartAnimation(int elapse, int totalFrames, int animationId, bool loop) = 0;
    virtual void StopAnimation(int animationId) = 0;
    virtual bool IsAnimationRunning(int animationId) = 0;
    virtual int GetCurrentFrame(int animationId) = 0;
    virtual bool SetCurrentFrame(int frame, int animationId) = 0;
    virtual void OnAnimationStep(int totalFrames, int currentFrame, int animationId) = 0;
    virtual void OnAnimationStart(int animationId, bool firstTime) = 0;
    virtual void OnAnimationStop(int animationId) = 0;
    virtual void OnAnimationElapse(int animationId) = 0;
};

class CUIAnimation : public IUIAnimation {
public:
    explicit CUIAnimation(CControlUI* owner);
    ~CUIAnimation() override;
    CUIAnimation(const CUIAnimation&) = delete;
    CUIAnimation& operator=(const CUIAnimation&) = delete;

    bool StartAnimation(int elapse, int totalFrames, int animationId, bool loop) override;
    void StopAnimation(int animationId) override;
    bool IsAnimationRunning(int animationId) override;
    int GetCurrentFrame(int animationId) override;
    bool SetCurrentFrame(int frame, int animationId) override;
    void OnAnimationStep(int totalFrames, int currentFrame, int animationId) override;
    void OnAnimationStart(int animationId, bool firstTime) override;
    void OnAnimationStop(int animationId) override;
    void OnAnimationElapse(int animationId) override;

private:
    struct TAnimationData {
        int id;
        int elapse;
        int totalFrames;
        int currentFrame;
        bool loop;
        bool firstTime;
        // Tells a record apart from a later one with the same id.
        unsigned serial;
    };

    TAnimationData* Find(int animationId) const;
    // The record still running under this id after a hook, or null when the hook
    // stopped or restarted the animation.
    TAnimationData* StillRunning(int animationId, unsigned serial) const;
    void Remove(int animationId);

    CControlUI* m_owner;
    std::vector<std::unique_ptr<TAnimationData>> m_records;
    unsigned m_nextSerial = 0;
};

}  // namespace HiveUI
