// CDragSourceHelper: the shell's drag-image helper on the source side, which shows the
// dragged picture under the cursor. Drags work without it where the shell has none.
#pragma once

#include <windows.h>
#include <shobjidl.h>

namespace HiveUI {

// The shell's drag-image helper, which serves both sides of a drag; the toolchain's
// headers do not name its class.
const CLSID kClsidDragDropHelper = {0x4657278A, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};

class CDragSourceHelper {
public:
    CDragSourceHelper();
    virtual ~CDragSourceHelper();
    CDragSourceHelper(const CDragSourceHelper&) = delete;
    CDragSourceHelper& operator=(const CDragSourceHelper&) = delete;

    bool IsAvailable() const { return m_helper != nullptr; }
    // Shows the bitmap with the cursor at its offset. True means the helper took the
    // bitmap and will delete it; otherwise it stays the caller's.
    bool InitializeFromBitmap(HBITMAP bitmap, POINT offset, COLORREF colorKey, IDataObject* data);

private:
    IDragSourceHelper* m_helper = nullptr;
};

}  // namespace HiveUI
