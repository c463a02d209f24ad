#include "ActiveXEnum.h"

namespace HiveUI {

CActiveXEnum::CActiveXEnum(IUnknown* object) : m_pos(0), m_refs(1), m_object(object) {
    if (m_object != nullptr) m_object->AddRef();
}

CActiveXEnum::~CActiveXEnum() {
    if (m_object != nullptr) m_object->Release();
}

STDMETHODIMP CActiveXEnum::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumUnknown) return E_NOINTERFACE;
    *out = static_cast<IEnumUnknown*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXEnum::AddRef() { return ++m_refs; }

STDMETHODIMP_(ULONG) CActiveXEnum::Release() {
    LONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

STDMETHODIMP CActiveXEnum::Next(ULONG count, IUnknown** items, ULONG* fetched) {
    if (fetched != nullptr) *fetched = 0;
    if (count == 0) return S_OK;
    if (items == nullptr) return E_POINTER;
    if (m_pos != 0 || m_object == nullptr) return S_FALSE;
    ++m_pos;
    items[0] = m_object;
    m_object->AddRef();
    if (fetched != nullptr) *fetched = 1;
    return count == 1 ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXEnum::Skip(ULONG count) {
    m_pos += count;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Reset() {
    m_pos = 0;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Clone(IEnumUnknown** clone) {
    if (clone != nullptr) *clone = nullptr;
    return E_NOTIMPL;
}

}  // namespace HiveUI
