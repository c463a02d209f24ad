// CEventSinkDispatch: the part of IDispatch that an event sink has no use for; events
// arrive by number through Invoke, so there are no type descriptions and no names.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace HiveUI {

template <class Interface>
class CEventSinkDispatch : public Interface {
public:
    STDMETHOD(GetTypeInfoCount)(UINT* count) override {
        if (count != nullptr) *count = 0;
        return E_NOTIMPL;
    }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

}  // namespace HiveUI
