#include "Delegate.h"

namespace HiveUI {

CDelegateBase::CDelegateBase(void* object, const void* function, unsigned functionSize) : m_object(object) {
    memset(m_function, 0, sizeof(m_function));
    memcpy(m_function, function, functionSize < sizeof(m_function) ? functionSize : sizeof(m_function));
}

CDelegateBase::CDelegateBase(const CDelegateBase& other) : m_object(other.m_object) {
    memcpy(m_function, other.m_function, sizeof(m_function));
}

CDelegateBase::~CDelegateBase() = default;

bool CDelegateBase::Equals(const CDelegateBase& other) const {
    return m_object == other.m_object && memcmp(m_function, other.m_function, sizeof(m_function)) == 0;
}

bool CDelegateBase::operator()(void* param) { return Invoke(param); }

CEventSource::~CEventSource() {
    for (int i = 0; i < m_delegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_delegates[i]);
}

bool CEventSource::operator+=(const CDelegateBase& delegate) {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        const CDelegateBase* held = static_cast<const CDelegateBase*>(m_delegates[i]);
        if (held != nullptr && held->Equals(delegate)) return true;
    }
    CDelegateBase* copy = delegate.Copy();
    if (m_delegates.Add(copy)) return true;
    delete copy;
    return false;
}

bool CEventSource::operator()(void* param) {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        CDelegateBase* delegate = static_cast<CDelegateBase*>(m_delegates[i]);
        if (delegate != nullptr && !(*delegate)(param)) return false;
    }
    return true;
}

}  // namespace HiveUI
