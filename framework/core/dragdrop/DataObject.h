// CIDataObject: the data an OLE drag carries, as formats and the media that hold them.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <vector>

#include "UnknownImpl.h"

namespace HiveUI {

class CIDropSource;

class CIDataObject : public CUnknownImpl<IDataObject> {
public:
    explicit CIDataObject(CIDropSource* source) : m_source(source) {}
    ~CIDataObject() override;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

    // Duplicates the source's handle (or shares its interface) into the destination;
    // false when a handle could not be duplicated.
    static bool CopyMedium(STGMEDIUM& destination, const STGMEDIUM& source, const FORMATETC& format);

    CIDropSource* GetDropSource() const { return m_source; }

private:
    CIDropSource* m_source;
    std::vector<FORMATETC*> m_formats;
    std::vector<STGMEDIUM*> m_media;
};

}  // namespace HiveUI
