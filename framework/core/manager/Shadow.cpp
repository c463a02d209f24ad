#include "Shadow.h"

#include <vector>

#include "ImageData.h"
#include "ScopedHandle.h"
#include "ShadowOutline.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

const wchar_t kShadowClass[] = L"ZandelShadowWnd";
const int kLimit = 35;

// The module the class went to; windows of the class must name the same one.
HINSTANCE& ClassInstance() {
    static HINSTANCE instance = nullptr;
    return instance;
}

bool& ClassRegistered() {
    static bool registered = false;
    return registered;
}

bool InRange(int value) { return value >= -kLimit && value <= kLimit; }

}  // namespace

CShadowUI::~CShadowUI() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (m_parent == nullptr) return;
    // A manager that goes before its window must not leave the window calling into it.
    auto& map = GetShadowMap();
    const auto found = map.find(m_parent);
    if (found != map.end() && found->second == this) {
        const LONG_PTR current = ::GetWindowLongPtrW(m_parent, GWLP_WNDPROC);
        if (current == reinterpret_cast<LONG_PTR>(ParentProc))
            ::SetWindowLongPtrW(m_parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_parentProc));
        map.erase(found);
    }
}

std::map<HWND, CShadowUI*>& CShadowUI::GetShadowMap() {
    static std::map<HWND, CShadowUI*> map;
    return map;
}

DWORD CShadowUI::PreMultiply(COLORREF color, BYTE alpha) {
    const DWORD c = color;
    const DWORD low = (c & 0xFF) * alpha / 255;
    const DWORD middle = ((c >> 8) & 0xFF) * alpha / 255;
    const DWORD high = ((c >> 16) & 0xFF) * alpha / 255;
    return low | (middle << 8) | (high << 16);
}

bool CShadowUI::RegisterWindowClass(HINSTANCE instance) {
    if (ClassRegistered()) return true;
    if (instance == nullptr) instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kShadowClass;
    if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    ClassInstance() = instance;
    ClassRegistered() = true;
    return true;
}

bool CShadowUI::SetSize(int size) {
    if (!InRange(size)) return false;
    m_size = static_cast<signed char>(size);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetSharpness(unsigned int sharpness) {
    if (sharpness > kLimit) return false;
    m_sharpness = static_cast<BYTE>(sharpness);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetDarkness(unsigned int darkness) {
    if (darkness >= 256) return false;
    m_darkness = static_cast<BYTE>(darkness);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetPosition(int x, int y) {
    if (!InRange(x) || !InRange(y)) return false;
    m_xOffset = static_cast<signed char>(x);
    m_yOffset = static_cast<signed char>(y);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetColor(COLORREF color) {
    m_color = color;
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetImage(const wchar_t* image) {
    if (image == nullptr) return false;
    m_imageMode = true;
    m_image = image;
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetShadowCorner(const RECT& corner) {
    if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
    m_corner = corner;
    RedrawIfShown();
    return true;
}

bool CShadowUI::CopyShadow(CShadowUI* target) const {
    if (target == nullptr) return false;
    if (m_imageMode) {
        target->SetImage(m_image);
        target->SetShadowCorner(m_corner);
        target->SetSize(m_size);
    } else {
        target->SetSize(m_size);
        target->SetSharpness(m_sharpness);
        target->SetDarkness(m_darkness);
        target->SetColor(m_color);
        target->SetPosition(m_xOffset, m_yOffset);
    }
    target->ShowShadow(m_show);
    return true;
}

void CShadowUI::RedrawIfShown() {
    if (m_hWnd == nullptr || !::IsWindowVisible(m_hWnd)) return;
    Update(::GetWindow(m_hWnd, GW_OWNER));
}

void CShadowUI::Create(CPaintManagerUI* manager) {
    if (!m_show || manager == nullptr) return;
    const HWND parent = manager->GetPaintWindow();
    if (parent == nullptr || !::IsWindow(parent)) return;
    // Subclassing twice would save the shadow's own procedure as the old one.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) return;
    if (GetShadowMap().count(parent) != 0) return;
    if (!RegisterWindowClass(CPaintManagerUI::GetInstance())) return;
    const LONG_PTR parentStyle = ::GetWindowLongPtrW(parent, GWL_STYLE);
    const DWORD style = (static_cast<DWORD>(parentStyle) & WS_CAPTION) | WS_POPUP | WS_BORDER | WS_SYSMENU;
    const HWND wnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr, style, CW_USEDEFAULT,
                                       0, 0, 0, parent, nullptr, ClassInstance(), nullptr);
    if (wnd == nullptr) return;
    m_manager = manager;
    m_parent = parent;
    m_hWnd = wnd;
    GetShadowMap()[parent] = this;
    if ((parentStyle & WS_VISIBLE) == 0) {
        m_status = kEnabled;
    } else if (::IsIconic(parent) || ::IsZoomed(parent)) {
        m_status = kEnabled | kParentVisible;
    } else {
        m_status = kEnabled | kVisible | kParentVisible;
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        Update(parent);
    }
    m_parentProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc)));
}

POINT CShadowUI::Placement(const RECT& parentRect) const {
    if (m_imageMode) return POINT{parentRect.left - m_size, parentRect.top - m_size};
    return POINT{parentRect.left + m_xOffset - m_size, parentRect.top + m_yOffset - m_size};
}

void CShadowUI::Move(HWND parent) {
    RECT rect = {};
    if (m_hWnd == nullptr || !::GetWindowRect(parent, &rect)) return;
    const POINT at = Placement(rect);
    ::SetWindowPos(m_hWnd, parent, at.x, at.y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE);
}

bool CShadowUI::Update(HWND parent) {
    if (!m_show || (m_status & kVisible) == 0 || m_hWnd == nullptr) return false;
    RECT rect = {};
    if (!::GetWindowRect(parent, &rect)) return false;
    if (m_imageMode ? m_image.IsEmpty() : m_size == 0) return false;
    const int width = rect.right - rect.left + 2 * m_size;
    const int height = rect.bottom - rect.top + 2 * m_size;
    // A negative size on a small window leaves nothing to show.
    if (width <= 0 || height <= 0) return false;
    CScopedCreatedDC dc(::CreateCompatibleDC(nullptr));
    BYTE* bits = nullptr;
    CScopedGdiObject<HBITMAP> bitmap(CUIRender::CreateARGB32Bitmap(dc.Get(), width, height, &bits));
    if (!dc.IsValid() || !bitmap.IsValid() || bits == nullptr) return false;
    CSelectObjectGuard selected(dc.Get(), bitmap.Get());
    if (!selected.IsSelected()) return false;
    if (!DrawPicture(dc.Get(), reinterpret_cast<DWORD*>(bits), parent, rect)) return false;
    const POINT at = Placement(rect);
    ::MoveWindow(m_hWnd, at.x, at.y, width, height, FALSE);
    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::UpdateLayeredWindow(m_hWnd, nullptr, nullptr, &size, dc.Get(), &origin, 0, &blend, ULW_ALPHA) != FALSE;
}

bool CShadowUI::DrawPicture(HDC dc, DWORD* pixels, HWND parent, const RECT& parentRect) {
    const int width = parentRect.right - parentRect.left + 2 * m_size;
    const int height = parentRect.bottom - parentRect.top + 2 * m_size;
    if (!m_imageMode) {
        ::GdiFlush();
        ZeroMemory(pixels, static_cast<size_t>(width) * height * sizeof(DWORD));
        MakeShadow(pixels, parent, parentRect);
        return true;
    }
    TImageData* image = m_manager != nullptr ? m_manager->GetImageEx(m_image) : nullptr;
    if (image == nullptr) return false;
    const RECT whole = {0, 0, width, height};
    const RECT source = {0, 0, image->width, image->height};
    CUIRender::DrawImage(dc, image->bitmap, whole, whole, source, m_corner, true, 255);
    ::GdiFlush();
    return true;
}

void CShadowUI::MakeShadow(DWORD* pixels, HWND parent, const RECT& parentRect) const {
    const int width = parentRect.right - parentRect.left;
    const int height = parentRect.bottom - parentRect.top;
    const int shadowWidth = width + 2 * m_size;
    const int shadowHeight = height + 2 * m_size;
    if (pixels == nullptr || shadowWidth <= 0 || shadowHeight <= 0) return;
    // A window without a region (a drop-down, or any window before its first size) is
    // outlined by its rectangle.
    CScopedGdiObject<HRGN> region(::CreateRectRgn(0, 0, 0, 0));
    const bool hasRegion = region.IsValid() && ::GetWindowRgn(parent, region.Get()) != ERROR;
    const HRGN outline = region.Get();
    const auto inside = [hasRegion, outline](int x, int y) {
        return !hasRegion || ::PtInRegion(outline, x, y) != FALSE;
    };
    const std::vector<TShadowSpan> rows = CShadowOutline::RowsOf(inside, width, height);
    const TShadowLook look = {m_size, m_sharpness, m_darkness, m_color, m_xOffset, m_yOffset};
    CShadowCanvas canvas(pixels, shadowWidth, shadowHeight);
    CShadowOutline::Draw(rows, width, look, canvas);
}

LRESULT CALLBACK CShadowUI::ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = ::DefWindowProcW;
    try {
        auto& map = GetShadowMap();
        const auto found = map.find(wnd);
        if (found != map.end()) {
            CShadowUI* shadow = found->second;
            if (shadow->m_parentProc != nullptr) previous = shadow->m_parentProc;
            // The window object may delete itself, and this shadow with it, in the
            // previous procedure's final message: nothing of it is touched after that.
            if (msg == WM_NCDESTROY) {
                map.erase(found);
            } else {
                shadow->OnParentMessage(wnd, msg, wParam, lParam);
            }
        }
    } catch (...) {
        // The parent's own procedure still gets the message.
    }
    const LRESULT result = ::CallWindowProcW(previous, wnd, msg, wParam, lParam);
    if (msg == WM_PAINT) UpdatePendingAfterPaint(wnd);
    return result;
}

// The window's own frame goes to the screen first; the shadow around it follows. The
// shadow is looked up again: the paint may have destroyed the window and it with it.
void CShadowUI::UpdatePendingAfterPaint(HWND wnd) {
    try {
        auto& map = GetShadowMap();
        const auto found = map.find(wnd);
        if (found == map.end() || !found->second->m_updatePending) return;
        found->second->m_updatePending = false;
        found->second->Update(wnd);
    } catch (...) {
    }
}

void CShadowUI::UpdateAfterPaint() {
    if (m_hWnd != nullptr) m_updatePending = true;
}

void CShadowUI::OnParentMessage(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        ::SetWindowPos(m_hWnd, parent, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
        break;
    case WM_MOVE:
        if (m_status & kVisible) Move(parent);
        break;
    case WM_WINDOWPOSCHANGED: {
        Move(parent);
        const UINT flags = reinterpret_cast<const WINDOWPOS*>(lParam)->flags;
        if (flags & SWP_SHOWWINDOW) OnParentShown(true);
        if (flags & SWP_HIDEWINDOW) OnParentShown(false);
        break;
    }
    case WM_SIZE:
        OnParentSize(parent, wParam, lParam);
        break;
    case WM_EXITSIZEMOVE:
        if (m_status & kVisible) Update(parent);
        break;
    case WM_SHOWWINDOW:
        OnParentShown(wParam != 0);
        break;
    case WM_DESTROY:
        if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        break;
    default:
        break;
    }
}

void CShadowUI::OnParentShown(bool shown) {
    if ((m_status & kEnabled) == 0 || m_hWnd == nullptr) return;
    if (shown) {
        if (m_status & kParentVisible) return;
        m_status |= kParentVisible;
        // A window shown maximised or minimised gets its shadow when it is restored.
        if (::IsZoomed(m_parent) || ::IsIconic(m_parent)) return;
        m_updatePending = true;
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        m_status |= kVisible;
    } else {
        ::ShowWindow(m_hWnd, SW_HIDE);
        m_status &= static_cast<BYTE>(~(kVisible | kParentVisible));
    }
}

// A growing window waits for its next paint to redraw; a shrinking one is redrawn now.
void CShadowUI::OnParentSize(HWND parent, WPARAM wParam, LPARAM lParam) {
    if ((m_status & kEnabled) == 0 || m_hWnd == nullptr) return;
    if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        m_status &= static_cast<BYTE>(~kVisible);
    } else if (m_status & kParentVisible) {
        // Shown first, so that a shadow coming back after a maximised or minimised spell
        // is drawn for the size it comes back at.
        if ((m_status & kVisible) == 0) {
            ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
            m_status |= kVisible;
        }
        const bool grew = LOWORD(lParam) > LOWORD(m_lastSize) || HIWORD(lParam) > HIWORD(m_lastSize);
        if (grew) {
            m_updatePending = true;
        } else {
            Update(parent);
        }
    }
    m_lastSize = lParam;
}

}  // namespace HiveUI
