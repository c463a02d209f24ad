#include "WindowCallPoster.h"

void CWindowCallPoster::Open(HWND wnd) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_wnd = wnd;
}

bool CWindowCallPoster::Post(std::unique_ptr<TWindowControlCall> call) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_wnd == nullptr) return false;
    if (!::PostMessageW(m_wnd, WM_WINDOW_CONTROL, reinterpret_cast<WPARAM>(call.get()), 0)) return false;
    call.release();  // the window's queue holds it now
    return true;
}

std::unique_ptr<TWindowControlCall> CWindowCallPoster::Take(WPARAM wParam) {
    return std::unique_ptr<TWindowControlCall>(reinterpret_cast<TWindowControlCall*>(wParam));
}

void CWindowCallPoster::Close() {
    HWND wnd;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        wnd = m_wnd;
        m_wnd = nullptr;
    }
    if (wnd == nullptr) return;
    MSG msg;
    while (::PeekMessageW(&msg, wnd, WM_WINDOW_CONTROL, WM_WINDOW_CONTROL, PM_REMOVE)) Take(msg.wParam);
}
