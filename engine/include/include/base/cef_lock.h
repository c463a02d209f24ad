// base::Lock and its scoped holders: a non-recursive mutual-exclusion lock.
#pragma once

#include <windows.h>

namespace base {

class Lock {
public:
    Lock() { InitializeSRWLock(&lock_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void Acquire() { AcquireSRWLockExclusive(&lock_); }
    void Release() { ReleaseSRWLockExclusive(&lock_); }
    bool Try() { return TryAcquireSRWLockExclusive(&lock_) != 0; }
    void AssertAcquired() const {}

private:
    SRWLOCK lock_;
};

class AutoLock {
public:
    explicit AutoLock(Lock& lock) : lock_(lock) { lock_.Acquire(); }
    ~AutoLock() { lock_.Release(); }
    AutoLock(const AutoLock&) = delete;
    AutoLock& operator=(const AutoLock&) = delete;

private:
    Lock& lock_;
};

class AutoUnlock {
public:
    explicit AutoUnlock(Lock& lock) : lock_(lock) { lock_.Release(); }
    ~AutoUnlock() { lock_.Acquire(); }
    AutoUnlock(const AutoUnlock&) = delete;
    AutoUnlock& operator=(const AutoUnlock&) = delete;

private:
    Lock& lock_;
};

}  // namespace base
