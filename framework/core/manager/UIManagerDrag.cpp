// CPaintManagerUI: the window's OLE drop target, which shows a dropped picture in the
// window, and the OLE drag of a pressed control's picture.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <climits>
#include <memory>
#include <new>

#include "DataObject.h"
#include "DragSourceHelper.h"
#include "DropSource.h"
#include "PackedDib.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

// Dropped file names longer than this are refused: cut short they would name another file.
const UINT kMaxDroppedPath = 520;

struct CComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
using CComHolder = std::unique_ptr<IUnknown, CComRelease>;

// The window keeps the picture it is given and returns the one it held before, which is
// deleted here. False when it hands the picture straight back: then it is still the caller's.
bool HandToWindow(HWND wnd, HBITMAP bitmap) {
    const auto previous = reinterpret_cast<HGDIOBJ>(
        ::SendMessageW(wnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous == bitmap) return false;
    if (previous != nullptr) ::DeleteObject(previous);
    return true;
}

void HandMadeBitmapToWindow(HWND wnd, HBITMAP bitmap) {
    if (bitmap != nullptr && !HandToWindow(wnd, bitmap)) ::DeleteObject(bitmap);
}

HBITMAP BitmapFromPackedDib(HGLOBAL memory) {
    const SIZE_T size = ::GlobalSize(memory);
    const void* block = ::GlobalLock(memory);
    if (block == nullptr) return nullptr;
    HBITMAP bitmap = nullptr;
    const SIZE_T bitsOffset = PackedDibBitsOffset(block, size);
    if (bitsOffset != 0) {
        CWindowDCGuard screen(nullptr);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(block);
        bitmap = ::CreateDIBitmap(screen.Get(), header, CBM_INIT, static_cast<const BYTE*>(block) + bitsOffset,
                                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    }
    ::GlobalUnlock(memory);
    return bitmap;
}

// The metafile's frame, in 0.01 mm, as pixels of the window's device. The frame was
// itself measured from pixels with truncation, so truncating again would lose a pixel and
// play the picture one pixel too small: the conversion rounds.
RECT FrameInPixels(HDC dc, const RECTL& frame) {
    const LONGLONG horzRes = ::GetDeviceCaps(dc, HORZRES);
    const LONGLONG vertRes = ::GetDeviceCaps(dc, VERTRES);
    const LONGLONG horzSize = ::GetDeviceCaps(dc, HORZSIZE) * 100LL;
    const LONGLONG vertSize = ::GetDeviceCaps(dc, VERTSIZE) * 100LL;
    if (horzSize <= 0 || vertSize <= 0) return RECT{};
    auto scale = [](LONG value, LONGLONG res, LONGLONG size) {
        const LONGLONG product = value * res;
        return static_cast<LONG>((product >= 0 ? product + size / 2 : product - size / 2) / size);
    };
    return RECT{scale(frame.left, horzRes, horzSize), scale(frame.top, vertRes, vertSize),
                scale(frame.right, horzRes, horzSize), scale(frame.bottom, vertRes, vertSize)};
}

// Bounds are inclusive, so the picture is one pixel wider and taller than their corner.
HBITMAP BitmapFromMetafile(HWND wnd, HENHMETAFILE metafile) {
    ENHMETAHEADER header = {};
    if (::GetEnhMetaFileHeader(metafile, sizeof(header), &header) == 0) return nullptr;
    const LONGLONG width = static_cast<LONGLONG>(header.rclBounds.right) + 1;
    const LONGLONG height = static_cast<LONGLONG>(header.rclBounds.bottom) + 1;
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX) return nullptr;
    CWindowDCGuard dc(wnd);
    const RECT frame = FrameInPixels(dc.Get(), header.rclFrame);
    if (IsRectEmpty(&frame)) return nullptr;
    CScopedGdiObject<HBITMAP> bitmap(
        ::CreateCompatibleBitmap(dc.Get(), static_cast<int>(width), static_cast<int>(height)));
    CScopedCreatedDC memory(::CreateCompatibleDC(dc.Get()));
    if (!bitmap.IsValid() || !memory.IsValid()) return nullptr;
    CSelectObjectGuard select(memory.Get(), bitmap.Get());
    if (!select.IsSelected() || !::PlayEnhMetaFile(memory.Get(), metafile, &frame)) return nullptr;
    return bitmap.Release();
}

// True when the list of names ends (with an empty name) inside the given characters.
template <class Char>
bool NamesEndInside(const Char* names, SIZE_T count) {
    SIZE_T i = 0;
    while (i < count) {
        if (names[i] == 0) return true;
        while (i < count && names[i] != 0) ++i;
        ++i;
    }
    return false;
}

// DragQueryFile trusts the header's offset and the list's end; a list that runs off its
// block is refused before it is read.
bool IsFileListInside(HGLOBAL memory) {
    const SIZE_T size = ::GlobalSize(memory);
    const auto* block = static_cast<const BYTE*>(::GlobalLock(memory));
    if (block == nullptr) return false;
    bool inside = false;
    const auto* header = reinterpret_cast<const DROPFILES*>(block);
    if (size >= sizeof(DROPFILES) && header->pFiles >= sizeof(DROPFILES) && header->pFiles < size) {
        const BYTE* names = block + header->pFiles;
        const SIZE_T bytes = size - header->pFiles;
        inside = header->fWide ? NamesEndInside(reinterpret_cast<const wchar_t*>(names), bytes / sizeof(wchar_t))
                               : NamesEndInside(reinterpret_cast<const char*>(names), bytes);
    }
    ::GlobalUnlock(memory);
    return inside;
}

// Only the first dropped file is shown.
HBITMAP BitmapFromFirstFile(HGLOBAL memory) {
    if (!IsFileListInside(memory)) return nullptr;
    auto drop = static_cast<HDROP>(memory);
    if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return nullptr;
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0 || length >= kMaxDroppedPath) return nullptr;
    wchar_t path[kMaxDroppedPath] = {};
    if (::DragQueryFileW(drop, 0, path, kMaxDroppedPath) != length) return nullptr;
    return static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE | LR_LOADFROMFILE));
}

// The dropped bitmap goes to the window itself when the medium is the receiver's; one the
// source still owns (it frees it through its release object) is copied first. The result
// says whether the medium is to be released, so that each bitmap is deleted exactly once.
bool DropBitmap(HWND wnd, const STGMEDIUM& medium) {
    if (medium.hBitmap == nullptr) return true;
    if (medium.pUnkForRelease != nullptr) {
        HandMadeBitmapToWindow(wnd, static_cast<HBITMAP>(::OleDuplicateData(medium.hBitmap, CF_BITMAP, 0)));
        return true;
    }
    return !HandToWindow(wnd, medium.hBitmap);
}

// The drag image recorded as an enhanced metafile, for receivers that take only that.
HENHMETAFILE RecordMetafile(HDC reference, HBITMAP bitmap, SIZE size) {
    HDC record = ::CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
    if (record == nullptr) return nullptr;
    {
        CScopedCreatedDC memory(::CreateCompatibleDC(reference));
        CSelectObjectGuard select(memory.Get(), bitmap);
        if (select.IsSelected()) ::BitBlt(record, 0, 0, size.cx, size.cy, memory.Get(), 0, 0, SRCCOPY);
    }
    return ::CloseEnhMetaFile(record);
}

}  // namespace

bool CPaintManagerUI::InitDragDrop() {
    if (m_paintWnd == nullptr || FAILED(::RegisterDragDrop(m_paintWnd, this))) return false;
    m_dropRegistered = true;
    static const struct {
        CLIPFORMAT format;
        DWORD tymed;
    } kAccepted[] = {
        {CF_BITMAP, TYMED_GDI}, {CF_DIB, TYMED_HGLOBAL}, {CF_HDROP, TYMED_HGLOBAL}, {CF_ENHMETAFILE, TYMED_ENHMF}};
    for (const auto& accepted : kAccepted) {
        FORMATETC format = {accepted.format, nullptr, DVASPECT_CONTENT, -1, accepted.tymed};
        AddSupportedFormat(format);
    }
    return true;
}

void CPaintManagerUI::TermDragDrop() {
    if (!m_dropRegistered) return;
    m_dropRegistered = false;
    ::RevokeDragDrop(m_paintWnd);
}

bool CPaintManagerUI::OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*) {
    // OLE's drag loop swallowed the release, so the pressed control of a drag that began
    // in this window still waits for it.
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_paintWnd, &cursor);
    ::SendMessageW(m_paintWnd, WM_LBUTTONUP, 0, MAKELPARAM(cursor.x, cursor.y));
    if (format->cfFormat == CF_DIB && medium.tymed == TYMED_HGLOBAL) {
        HandMadeBitmapToWindow(m_paintWnd, BitmapFromPackedDib(medium.hGlobal));
    } else if (format->cfFormat == CF_BITMAP && medium.tymed == TYMED_GDI) {
        return DropBitmap(m_paintWnd, medium);
    } else if (format->cfFormat == CF_ENHMETAFILE && medium.tymed == TYMED_ENHMF) {
        HandMadeBitmapToWindow(m_paintWnd, BitmapFromMetafile(m_paintWnd, medium.hEnhMetaFile));
    } else if (format->cfFormat == CF_HDROP && medium.tymed == TYMED_HGLOBAL) {
        HandMadeBitmapToWindow(m_paintWnd, BitmapFromFirstFile(medium.hGlobal));
    }
    return true;
}

// The data object keeps copies of the picture as a bitmap and as a metafile; the shell's
// helper, when there is one, shows it under the cursor, held in its middle.
void CPaintManagerUI::StartDrag() {
    ReleaseCapture();
    if (!m_dragBitmap.IsValid()) return;
    CIDropSource* source = new (std::nothrow) CIDropSource;
    if (source == nullptr) return;
    source->AddRef();
    CComHolder sourceHolder(source);
    CIDataObject* data = new (std::nothrow) CIDataObject(source);
    if (data == nullptr) return;
    data->AddRef();
    CComHolder dataHolder(data);
    CScopedGdiObject<HBITMAP> picture(static_cast<HBITMAP>(::OleDuplicateData(m_dragBitmap.Get(), CF_BITMAP, 0)));
    BITMAP info = {};
    if (::GetObjectW(picture.Get(), sizeof(info), &info) == 0) return;

    FORMATETC format = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = picture.Get();
    data->SetData(&format, &medium, FALSE);
    format.cfFormat = CF_ENHMETAFILE;
    format.tymed = TYMED_ENHMF;
    medium.tymed = TYMED_ENHMF;
    medium.hEnhMetaFile = RecordMetafile(GetPaintDC(), picture.Get(), SIZE{info.bmWidth, info.bmHeight});
    if (medium.hEnhMetaFile != nullptr && FAILED(data->SetData(&format, &medium, TRUE)))
        ::DeleteEnhMetaFile(medium.hEnhMetaFile);

    CDragSourceHelper helper;
    const POINT middle = {info.bmWidth / 2, info.bmHeight / 2};
    if (helper.InitializeFromBitmap(picture.Get(), middle, ::GetSysColor(COLOR_WINDOW), data)) picture.Release();
    DWORD effect = DROPEFFECT_NONE;
    ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    m_dragMode = false;
}

}  // namespace HiveUI
