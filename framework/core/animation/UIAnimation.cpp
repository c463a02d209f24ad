// CUIAnimation: each running animation ticks on its owner's manager timer of the same id.
#include "UIAnimation.h"

#include "UIControl.h"
#include "UIManager.h"

namespace HiveUI {

CUIAnimation::CUIAnimation(CControlUI* owner) : m_owner(owner) {}

// The owner's timers go with its registration at its manager.
CUIAnimation::~CUIAnimation() = default;

bool CUIAnimation::StartAnimation(int elapse, int totalFrames, int animationId, bool loop) {
    if (Find(animationId) != nullptr || elapse <= 0 || totalFrames <= 0 || m_owner == nullptr) return false;
    CPaintManagerUI* manager = m_owner->GetManager();
    if (manager == nullptr) return false;
    std::unique_ptr<TAnimationData> record(
        new TAnimationData{animationId, elapse, totalFrames, 0, loop, true, ++m_nextSerial});
    if (!manager->SetTimer(m_owner, static_cast<UINT>(animationId), static_cast<UINT>(elapse))) return false;
    m_records.push_back(std::move(record));
    return true;
}

void CUIAnimation::StopAnimation(int animationId) {
    if (m_owner == nullptr) return;
    if (animationId != 0) {
        if (Find(animationId) != nullptr) Remove(animationId);
        return;
    }
    CPaintManagerUI* manager = m_owner->GetManager();
    if (manager != nullptr) {
        for (const auto& record : m_records) manager->KillTimer(m_owner, static_cast<UINT>(record->id));
    }
    m_records.clear();
}

bool CUIAnimation::IsAnimationRunning(int animationId) { return Find(animationId) != nullptr; }

int CUIAnimation::GetCurrentFrame(int animationId) {
    const TAnimationData* record = Find(animationId);
    return record != nullptr ? record->currentFrame : -1;
}

bool CUIAnimation::SetCurrentFrame(int frame, int animationId) {
    TAnimationData* record = Find(animationId);
    if (record == nullptr || frame < 0 || frame > record->totalFrames) return false;
    record->currentFrame = frame;
    return true;
}

void CUIAnimation::OnAnimationStep(int, int, int) {}
void CUIAnimation::OnAnimationStart(int, bool) {}
void CUIAnimation::OnAnimationStop(int) {}

// The hooks may stop or restart the animation, so the record is looked up again after
// each of them and the tick ends when it is gone.
void CUIAnimation::OnAnimationElapse(int animationId) {
    if (m_owner == nullptr) return;
    TAnimationData* record = Find(animationId);
    if (record == nullptr) return;
    const unsigned serial = record->serial;
    const int frame = record->currentFrame;
    if (frame == 0) {
        OnAnimationStart(animationId, record->firstTime);
        if ((record = StillRunning(animationId, serial)) == nullptr) return;
        record->firstTime = false;
    }
    OnAnimationStep(record->totalFrames, frame, animationId);
    if ((record = StillRunning(animationId, serial)) == nullptr) return;
    if (frame >= record->totalFrames) {
        OnAnimationStop(animationId);
        if ((record = StillRunning(animationId, serial)) == nullptr) return;
        if (!record->loop) {
            Remove(animationId);
            return;
        }
        record->currentFrame = 0;
    }
    ++record->currentFrame;
}

CUIAnimation::TAnimationData* CUIAnimation::Find(int animationId) const {
    for (const auto& record : m_records) {
        if (record->id == animationId) return record.get();
    }
    return nullptr;
}

CUIAnimation::TAnimationData* CUIAnimation::StillRunning(int animationId, unsigned serial) const {
    TAnimationData* record = Find(animationId);
    return record != nullptr && record->serial == serial ? record : nullptr;
}

void CUIAnimation::Remove(int animationId) {
    CPaintManagerUI* manager = m_owner->GetManager();
    if (manager != nullptr) manager->KillTimer(m_owner, static_cast<UINT>(animationId));
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        if ((*it)->id != animationId) continue;
        m_records.erase(it);
        return;
    }
}

}  // namespace HiveUI
