// CDelegateBase and CEventSource: the framework's callbacks. A delegate binds a receiver
// to a member function that takes one untyped parameter and answers true or false; an
// event source fires its delegates in subscription order until one answers false.
#pragma once

#include <cstring>

#include "UIPtrArray.h"

namespace HiveUI {

class CDelegateBase {
public:
    CDelegateBase(void* object, const void* function, unsigned functionSize);
    CDelegateBase(const CDelegateBase& other);
    CDelegateBase& operator=(const CDelegateBase&) = delete;
    virtual ~CDelegateBase();
    virtual CDelegateBase* Copy() const = 0;

    bool Equals(const CDelegateBase& other) const;
    bool operator()(void* param);

protected:
    virtual bool Invoke(void* param) = 0;
    void* GetObject() const { return m_object; }
    const void* GetFunction() const { return m_function; }

private:
    // Large enough for a member-function pointer of any single-inheritance class.
    enum { kFunctionBytes = 2 * sizeof(void*) };

    void* m_object;
    unsigned char m_function[kFunctionBytes];
};

// The member-function delegate: receiver of class T and its bool (void*) member.
template <class T>
class CDelegate : public CDelegateBase {
public:
    using Member = bool (T::*)(void*);
    static_assert(sizeof(Member) <= 2 * sizeof(void*), "member pointer larger than a delegate keeps");

    CDelegate(T* object, Member member)
        : CDelegateBase(object, &member, sizeof(member)), m_member(member) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }

protected:
    bool Invoke(void* param) override { return (static_cast<T*>(GetObject())->*m_member)(param); }

private:
    Member m_member;
};

template <class T>
CDelegate<T> MakeDelegate(T* object, bool (T::*member)(void*)) {
    return CDelegate<T>(object, member);
}

class CEventSource {
public:
    CEventSource() = default;
    ~CEventSource();
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;

    explicit operator bool() const { return !m_delegates.IsEmpty(); }
    bool operator+=(const CDelegateBase& delegate);
    bool operator()(void* param);

private:
    CUIPtrArray m_delegates;
};

}  // namespace HiveUI
