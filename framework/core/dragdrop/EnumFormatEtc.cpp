// CEnumFormatEtc: copies of the formats and a cursor over them.
#include "EnumFormatEtc.h"

#include <new>

namespace HiveUI {

bool CopyFormatEtc(FORMATETC& destination, const FORMATETC& source) {
    destination = source;
    if (source.ptd == nullptr) return true;
    destination.ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(source.ptd->tdSize));
    if (destination.ptd == nullptr) return false;
    CopyMemory(destination.ptd, source.ptd, source.ptd->tdSize);
    return true;
}

void FreeFormatEtc(FORMATETC& format) {
    CoTaskMemFree(format.ptd);
    format.ptd = nullptr;
}

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC>& formats) {
    m_formats.reserve(formats.size());
    for (const FORMATETC& format : formats) Append(format);
}

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC*>& formats) {
    m_formats.reserve(formats.size());
    for (const FORMATETC* format : formats) Append(*format);
}

CEnumFormatEtc::~CEnumFormatEtc() {
    for (FORMATETC& format : m_formats) FreeFormatEtc(format);
}

// Without memory for its target device a format is still listed, for any device.
void CEnumFormatEtc::Append(const FORMATETC& format) {
    FORMATETC copy;
    if (!CopyFormatEtc(copy, format)) copy.ptd = nullptr;
    m_formats.push_back(copy);
}

HRESULT CEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
    if (fetched != nullptr) *fetched = 0;
    if (count == 0 || formats == nullptr || m_current >= m_formats.size()) return S_FALSE;
    if (fetched == nullptr && count != 1) return S_FALSE;
    ULONG copied = 0;
    while (copied < count && m_current < m_formats.size()) {
        if (!CopyFormatEtc(formats[copied], m_formats[m_current])) formats[copied].ptd = nullptr;
        ++copied;
        ++m_current;
    }
    if (fetched != nullptr) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT CEnumFormatEtc::Skip(ULONG count) {
    if (count >= m_formats.size() - m_current) return S_FALSE;
    m_current += count;
    return S_OK;
}

HRESULT CEnumFormatEtc::Reset() {
    m_current = 0;
    return S_OK;
}

HRESULT CEnumFormatEtc::Clone(IEnumFORMATETC** clone) {
    if (clone == nullptr) return E_POINTER;
    *clone = nullptr;
    CEnumFormatEtc* copy = nullptr;
    try {
        copy = new CEnumFormatEtc(m_formats);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    copy->m_current = m_current;
    copy->AddRef();
    *clone = copy;
    return S_OK;
}

}  // namespace HiveUI
