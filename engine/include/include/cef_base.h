// CefBase: the reference-counted root of every engine interface, and the count that
// IMPLEMENT_REFCOUNTING gives a concrete class.
#pragma once

#include <atomic>

#include "include/internal/cef_ptr.h"
#include "include/internal/cef_string.h"
#include "include/internal/cef_types.h"
#include "include/internal/cef_types_wrappers.h"
#include "include/internal/cef_win.h"

class CefBase {
public:
    virtual void AddRef() const = 0;
    // True when this call released the last reference and the object is gone.
    virtual bool Release() const = 0;
    virtual bool HasOneRef() const = 0;

protected:
    virtual ~CefBase() {}
};

class CefRefCount {
public:
    CefRefCount() : count_(0) {}
    CefRefCount(const CefRefCount&) = delete;
    CefRefCount& operator=(const CefRefCount&) = delete;

    void AddRef() const { count_.fetch_add(1, std::memory_order_relaxed); }
    bool Release() const { return count_.fetch_sub(1, std::memory_order_acq_rel) == 1; }
    bool HasOneRef() const { return count_.load(std::memory_order_acquire) == 1; }

private:
    mutable std::atomic<int> count_;
};

// The expansion ends with its own semicolon, so a class may write the macro with or
// without one after it.
#define IMPLEMENT_REFCOUNTING(ClassName)                 \
public:                                                  \
    void AddRef() const override { ref_count_.AddRef(); } \
    bool Release() const override {                      \
        if (ref_count_.Release()) {                      \
            delete static_cast<const ClassName*>(this);  \
            return true;                                 \
        }                                                \
        return false;                                    \
    }                                                    \
    bool HasOneRef() const override { return ref_count_.HasOneRef(); } \
                                                         \
private:                                                 \
    CefRefCount ref_count_;
