// CActiveXEnum: the enumerator over a container's objects; a control hosts one.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace HiveUI {

class CActiveXEnum final : public IEnumUnknown {
public:
    explicit CActiveXEnum(IUnknown* object);
    CActiveXEnum(const CActiveXEnum&) = delete;
    CActiveXEnum& operator=(const CActiveXEnum&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    STDMETHOD(Next)(ULONG count, IUnknown** items, ULONG* fetched) override;
    STDMETHOD(Skip)(ULONG count) override;
    STDMETHOD(Reset)() override;
    STDMETHOD(Clone)(IEnumUnknown** clone) override;

private:
    ~CActiveXEnum();

    ULONG m_pos;
    LONG m_refs;
    IUnknown* m_object;
};

}  // namespace HiveUI
