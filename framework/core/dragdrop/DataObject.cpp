// CIDataObject: stored formats with their media, handed out as copies.
#include "DataObject.h"

#include <memory>
#include <new>

#include "EnumFormatEtc.h"

namespace HiveUI {

namespace {

// OleDuplicateData decides by the format how to read the handle, so the format is taken
// from what the medium holds: a bitmap in TYMED_GDI read as memory, or memory read as a
// bitmap, would be copied from the wrong kind of object.
CLIPFORMAT DuplicationFormat(DWORD tymed, CLIPFORMAT format) {
    switch (tymed) {
        case TYMED_GDI: return format == CF_PALETTE ? CF_PALETTE : CF_BITMAP;
        case TYMED_ENHMF: return CF_ENHMETAFILE;
        case TYMED_MFPICT: return CF_METAFILEPICT;
        default: return format == CF_METAFILEPICT ? CF_METAFILEPICT : CF_DIB;
    }
}

// A file medium holds a name, not a handle.
LPOLESTR CopyFileName(LPCOLESTR name) {
    if (name == nullptr) return nullptr;
    const size_t bytes = (wcslen(name) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy != nullptr) CopyMemory(copy, name, bytes);
    return copy;
}

}  // namespace

CIDataObject::~CIDataObject() {
    for (STGMEDIUM* medium : m_media) {
        ReleaseStgMedium(medium);
        delete medium;
    }
    for (FORMATETC* format : m_formats) {
        FreeFormatEtc(*format);
        delete format;
    }
}

bool CIDataObject::CopyMedium(STGMEDIUM& destination, const STGMEDIUM& source, const FORMATETC& format) {
    destination.hGlobal = nullptr;
    bool copied = true;
    switch (source.tymed) {
        case TYMED_HGLOBAL:
        case TYMED_GDI:
        case TYMED_MFPICT:
        case TYMED_ENHMF:
            destination.hGlobal =
                OleDuplicateData(source.hGlobal, DuplicationFormat(source.tymed, format.cfFormat), 0);
            copied = source.hGlobal == nullptr || destination.hGlobal != nullptr;
            break;
        case TYMED_FILE:
            destination.lpszFileName = CopyFileName(source.lpszFileName);
            copied = source.lpszFileName == nullptr || destination.lpszFileName != nullptr;
            break;
        case TYMED_ISTREAM:
            destination.pstm = source.pstm;
            if (source.pstm != nullptr) source.pstm->AddRef();
            break;
        case TYMED_ISTORAGE:
            destination.pstg = source.pstg;
            if (source.pstg != nullptr) source.pstg->AddRef();
            break;
        default: break;
    }
    destination.tymed = source.tymed;
    // A duplicated handle is the receiver's own to free; only a shared interface may still
    // depend on the source's release object. Sharing that object with a duplicate would
    // stop ReleaseStgMedium from ever freeing the duplicate.
    const bool shared = source.tymed == TYMED_ISTREAM || source.tymed == TYMED_ISTORAGE;
    destination.pUnkForRelease = shared ? source.pUnkForRelease : nullptr;
    if (destination.pUnkForRelease != nullptr) destination.pUnkForRelease->AddRef();
    return copied;
}

HRESULT CIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    medium->hGlobal = nullptr;
    for (size_t i = 0; i < m_formats.size(); ++i) {
        const FORMATETC& stored = *m_formats[i];
        if ((stored.tymed & format->tymed) == 0 || stored.dwAspect != format->dwAspect ||
            stored.cfFormat != format->cfFormat) {
            continue;
        }
        if (CopyMedium(*medium, *m_media[i], stored)) return S_OK;
        ReleaseStgMedium(medium);
        return E_OUTOFMEMORY;
    }
    return DV_E_FORMATETC;
}

HRESULT CIDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

// The answer for a miss is the one for the last format looked at.
HRESULT CIDataObject::QueryGetData(FORMATETC* format) {
    if (format == nullptr) return E_INVALIDARG;
    if ((format->dwAspect & DVASPECT_CONTENT) == 0) return DV_E_DVASPECT;
    HRESULT answer = DV_E_TYMED;
    for (const FORMATETC* stored : m_formats) {
        if ((stored->tymed & format->tymed) == 0) {
            answer = DV_E_TYMED;
        } else if (stored->cfFormat == format->cfFormat) {
            return S_OK;
        } else {
            answer = DV_E_CLIPFORMAT;
        }
    }
    return answer;
}

HRESULT CIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out == nullptr) return E_INVALIDARG;
    return DATA_S_SAMEFORMATETC;
}

HRESULT CIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    std::unique_ptr<FORMATETC> formatCopy(new (std::nothrow) FORMATETC);
    std::unique_ptr<STGMEDIUM> mediumCopy(new (std::nothrow) STGMEDIUM);
    if (!formatCopy || !mediumCopy) return E_OUTOFMEMORY;
    if (!CopyFormatEtc(*formatCopy, *format)) return E_OUTOFMEMORY;
    bool stored = true;
    if (release) {
        *mediumCopy = *medium;
    } else if (!CopyMedium(*mediumCopy, *medium, *format)) {
        ReleaseStgMedium(mediumCopy.get());
        stored = false;
    }
    try {
        if (stored) {
            m_formats.reserve(m_formats.size() + 1);
            m_media.reserve(m_media.size() + 1);
        }
    } catch (const std::bad_alloc&) {
        // A medium handed over stays the caller's when the call fails.
        if (!release) ReleaseStgMedium(mediumCopy.get());
        stored = false;
    }
    if (!stored) {
        FreeFormatEtc(*formatCopy);
        return E_OUTOFMEMORY;
    }
    m_formats.push_back(formatCopy.release());
    m_media.push_back(mediumCopy.release());
    return S_OK;
}

HRESULT CIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (formats == nullptr) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    try {
        *formats = new CEnumFormatEtc(m_formats);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    (*formats)->AddRef();
    return S_OK;
}

HRESULT CIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT CIDataObject::DUnadvise(DWORD) { return E_NOTIMPL; }

HRESULT CIDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

}  // namespace HiveUI
