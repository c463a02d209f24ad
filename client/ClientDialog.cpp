#include "ClientDialog.h"

using namespace HiveUI;

LRESULT ClientDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCLBUTTONDBLCLK) return 0;
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}

LRESULT ClientDialog::OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    if (wParam == VK_ESCAPE) Close(1);
    return WindowImplBase::OnKeyDown(msg, wParam, lParam, handled);
}

UINT ClientDialog::RunModal(HWND owner, const wchar_t* title) {
    if (Create(owner, title, WS_OVERLAPPEDWINDOW, 0) == nullptr) return 0;
    CenterWindow();
    const UINT result = ShowModal();
    // The object lives on the caller's stack: its window must not outlive it.
    if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    return result;
}

void ClientDialog::SetProgramIcon() {
    HICON icon = ::LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(132));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void ClientDialog::BringToFront() {
    ::SetActiveWindow(m_hWnd);
    ::BringWindowToTop(m_hWnd);
}
