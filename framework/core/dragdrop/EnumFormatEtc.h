// CEnumFormatEtc: the list of formats a data object offers, as OLE walks it. Each copy of a
// format owns its target device, since whoever receives a FORMATETC frees that.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <vector>

#include "UnknownImpl.h"

namespace HiveUI {

// A copy whose target device is duplicated; false when that memory is not available.
bool CopyFormatEtc(FORMATETC& destination, const FORMATETC& source);
// Frees the target device of a copy made by CopyFormatEtc.
void FreeFormatEtc(FORMATETC& format);

class CEnumFormatEtc : public CUnknownImpl<IEnumFORMATETC> {
public:
    explicit CEnumFormatEtc(const std::vector<FORMATETC>& formats);
    explicit CEnumFormatEtc(const std::vector<FORMATETC*>& formats);
    ~CEnumFormatEtc() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

private:
    void Append(const FORMATETC& format);

    std::vector<FORMATETC> m_formats;
    ULONG m_current = 0;
};

}  // namespace HiveUI
