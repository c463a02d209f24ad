// CIDropTarget: a window's side of an OLE drop. It accepts the first of its formats that
// the dragged data offers, picks the effect from the modifier keys, and leaves the data
// itself to the derived class's OnDrop. The shell's drag-image helper, when present,
// draws the dragged picture over the window.
#pragma once

#include <windows.h>
#include <oleidl.h>
#include <shobjidl.h>

#include <vector>

#include "UnknownImpl.h"

namespace HiveUI {

class CIDropTarget : public CUnknownImpl<IDropTarget> {
public:
    explicit CIDropTarget(HWND wnd = nullptr);
    ~CIDropTarget() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

    // True when the data may be dropped; the effect becomes the one the drop would have.
    bool QueryDrop(DWORD keyState, DWORD* effect);
    // A format already accepted is not added twice.
    void AddSupportedFormat(const FORMATETC& format);
    void SetTargetWnd(HWND wnd) { m_wnd = wnd; }
    HWND GetTargetWnd() const { return m_wnd; }

    // Takes the dropped medium; false keeps it with the receiver instead of releasing it.
    virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) = 0;

private:
    bool m_allowDrop = false;
    IDropTargetHelper* m_helper = nullptr;
    std::vector<FORMATETC> m_formats;
    // Index of the accepted format that the current drag offers, or -1.
    int m_formatFound = -1;
    HWND m_wnd;
};

}  // namespace HiveUI
