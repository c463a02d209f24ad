#include "DragSourceHelper.h"

namespace HiveUI {

CDragSourceHelper::CDragSourceHelper() {
    if (FAILED(CoCreateInstance(kClsidDragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                reinterpret_cast<void**>(&m_helper)))) {
        m_helper = nullptr;
    }
}

CDragSourceHelper::~CDragSourceHelper() {
    if (m_helper != nullptr) m_helper->Release();
}

bool CDragSourceHelper::InitializeFromBitmap(HBITMAP bitmap, POINT offset, COLORREF colorKey, IDataObject* data) {
    if (m_helper == nullptr || bitmap == nullptr) return false;
    BITMAP info = {};
    if (GetObjectW(bitmap, sizeof(info), &info) == 0) return false;
    SHDRAGIMAGE image = {};
    image.sizeDragImage = {info.bmWidth, info.bmHeight};
    image.ptOffset = offset;
    image.hbmpDragImage = bitmap;
    image.crColorKey = colorKey;
    return SUCCEEDED(m_helper->InitializeFromBitmap(&image, data));
}

}  // namespace HiveUI
