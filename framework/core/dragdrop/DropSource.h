// CIDropSource: the source side of an OLE drag: the buttons and Escape decide when it ends.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include "UnknownImpl.h"

namespace HiveUI {

class CIDropSource : public CUnknownImpl<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;
    bool IsDropped() const { return m_dropped; }

private:
    bool m_dropped = false;
};

}  // namespace HiveUI
