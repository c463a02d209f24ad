// CefRefPtr: an intrusive pointer that holds one reference to an engine object.
#pragma once

#include <cstddef>
#include <utility>

template <class T>
class CefRefPtr {
public:
    CefRefPtr() : ptr_(nullptr) {}
    CefRefPtr(std::nullptr_t) : ptr_(nullptr) {}
    CefRefPtr(T* p) : ptr_(p) {
        if (ptr_) ptr_->AddRef();
    }
    CefRefPtr(const CefRefPtr<T>& r) : CefRefPtr(r.ptr_) {}
    template <typename U>
    CefRefPtr(const CefRefPtr<U>& r) : CefRefPtr(r.get()) {}
    CefRefPtr(CefRefPtr<T>&& r) noexcept : ptr_(r.ptr_) { r.ptr_ = nullptr; }
    ~CefRefPtr() {
        if (ptr_) ptr_->Release();
    }

    T* get() const { return ptr_; }
    operator T*() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    T* operator->() const { return ptr_; }

    CefRefPtr<T>& operator=(T* p) {
        // AddRef first so that assigning an object to itself keeps it alive.
        if (p) p->AddRef();
        T* old = ptr_;
        ptr_ = p;
        if (old) old->Release();
        return *this;
    }
    CefRefPtr<T>& operator=(const CefRefPtr<T>& r) { return *this = r.ptr_; }
    template <typename U>
    CefRefPtr<T>& operator=(const CefRefPtr<U>& r) { return *this = r.get(); }
    CefRefPtr<T>& operator=(CefRefPtr<T>&& r) noexcept {
        CefRefPtr<T>(std::move(r)).swap(*this);
        return *this;
    }
    void swap(CefRefPtr<T>& r) { std::swap(ptr_, r.ptr_); }

private:
    T* ptr_;
};
