#include "DropTarget.h"

#include "DragSourceHelper.h"

namespace HiveUI {

CIDropTarget::CIDropTarget(HWND wnd) : m_wnd(wnd) {
    if (FAILED(CoCreateInstance(kClsidDragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                                reinterpret_cast<void**>(&m_helper)))) {
        m_helper = nullptr;
    }
}

CIDropTarget::~CIDropTarget() {
    if (m_helper != nullptr) m_helper->Release();
}

void CIDropTarget::AddSupportedFormat(const FORMATETC& format) {
    for (const FORMATETC& known : m_formats) {
        if (known.cfFormat == format.cfFormat && known.tymed == format.tymed && known.dwAspect == format.dwAspect)
            return;
    }
    m_formats.push_back(format);
}

HRESULT CIDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    if (data == nullptr || effect == nullptr) return E_INVALIDARG;
    if (m_helper != nullptr) {
        POINT point = {pt.x, pt.y};
        m_helper->DragEnter(m_wnd, data, &point, *effect);
    }
    m_formatFound = -1;
    for (size_t i = 0; i < m_formats.size() && m_formatFound < 0; ++i) {
        if (data->QueryGetData(&m_formats[i]) == S_OK) m_formatFound = static_cast<int>(i);
    }
    m_allowDrop = m_formatFound >= 0;
    QueryDrop(keyState, effect);
    return S_OK;
}

HRESULT CIDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    if (m_helper != nullptr) {
        POINT point = {pt.x, pt.y};
        m_helper->DragOver(&point, *effect);
    }
    QueryDrop(keyState, effect);
    return S_OK;
}

HRESULT CIDropTarget::DragLeave() {
    if (m_helper != nullptr) m_helper->DragLeave();
    m_allowDrop = false;
    m_formatFound = -1;
    return S_OK;
}

HRESULT CIDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    if (data == nullptr || effect == nullptr) return E_INVALIDARG;
    if (m_helper != nullptr) {
        POINT point = {pt.x, pt.y};
        m_helper->Drop(data, &point, *effect);
    }
    if (QueryDrop(keyState, effect) && m_formatFound >= 0) {
        FORMATETC format = m_formats[m_formatFound];
        STGMEDIUM medium = {};
        if (data->GetData(&format, &medium) == S_OK && OnDrop(&format, medium, effect)) {
            ReleaseStgMedium(&medium);
        }
    }
    m_allowDrop = false;
    *effect = DROPEFFECT_NONE;
    m_formatFound = -1;
    return S_OK;
}

bool CIDropTarget::QueryDrop(DWORD keyState, DWORD* effect) {
    const DWORD offered = *effect;
    *effect = DROPEFFECT_NONE;
    if (!m_allowDrop) return false;
    const bool control = (keyState & MK_CONTROL) != 0;
    const bool shift = (keyState & MK_SHIFT) != 0;
    DWORD wanted = DROPEFFECT_NONE;
    if (control && shift) {
        wanted = DROPEFFECT_LINK;
    } else if (control) {
        wanted = DROPEFFECT_COPY;
    } else if (shift) {
        wanted = DROPEFFECT_MOVE;
    }
    if (wanted == DROPEFFECT_NONE) {
        for (DWORD candidate : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
            if ((offered & candidate) != 0) {
                wanted = candidate;
                break;
            }
        }
    }
    if ((offered & wanted) != 0) *effect = wanted;
    return *effect != DROPEFFECT_NONE;
}

}  // namespace HiveUI
