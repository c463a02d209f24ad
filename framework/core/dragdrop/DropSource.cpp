#include "DropSource.h"

namespace HiveUI {

HRESULT CIDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if ((keyState & (MK_LBUTTON | MK_RBUTTON)) != 0) return S_OK;
    m_dropped = true;
    return DRAGDROP_S_DROP;
}

HRESULT CIDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

}  // namespace HiveUI
