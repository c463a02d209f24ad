// CDestructionWatch: tells code that sends a notification whether its control still
// exists afterwards. Handlers commonly delete the sender (a close button removing its
// own page), and the sender must not touch itself once that happened.
#pragma once

namespace HiveUI {

class CDestructionWatch {
public:
    // The control keeps one slot; watches on the stack chain through it.
    explicit CDestructionWatch(CDestructionWatch*& slot) : m_slot(slot), m_outer(slot) { slot = this; }
    ~CDestructionWatch() {
        // A gone control's slot went with it.
        if (!m_gone) m_slot = m_outer;
    }
    CDestructionWatch(const CDestructionWatch&) = delete;
    CDestructionWatch& operator=(const CDestructionWatch&) = delete;

    bool IsGone() const { return m_gone; }

    // Called by the control's destructor with its slot.
    static void ControlGone(CDestructionWatch* watch) {
        for (; watch != nullptr; watch = watch->m_outer) watch->m_gone = true;
    }

private:
    CDestructionWatch*& m_slot;
    CDestructionWatch* m_outer;
    bool m_gone = false;
};

}  // namespace HiveUI
