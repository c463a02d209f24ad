// CUnknownImpl: the reference counting and interface lookup that every COM object of the
// framework shares. The count starts at 0; the object deletes itself when it returns to 0.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace HiveUI {

template <class Interface>
class CUnknownImpl : public Interface {
public:
    CUnknownImpl() = default;
    virtual ~CUnknownImpl() = default;
    CUnknownImpl(const CUnknownImpl&) = delete;
    CUnknownImpl& operator=(const CUnknownImpl&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface))) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG count = InterlockedDecrement(&m_refCount);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

private:
    LONG m_refCount = 0;
};

}  // namespace HiveUI
