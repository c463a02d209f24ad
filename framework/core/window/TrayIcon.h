// CTrayIcon: one icon with a tooltip in the shell's notification area, whose mouse
// events reach a window as a callback message.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace HiveUI {

class CTrayIcon {
public:
    // The shell call, replaceable so that tests see exactly what the icon asks of it.
    using ShellCall = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW record);

    explicit CTrayIcon(ShellCall shell = ::Shell_NotifyIconW);
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // True when the icon is now in the notification area.
    bool Create(HWND wnd, UINT iconId, const wchar_t* tip = nullptr, UINT callbackMessage = 0);
    bool Delete();
    bool SetIcon(HICON icon);
    void Hide();
    void Show();

    static const UINT kDefaultCallbackMessage = WM_USER + 1;
    // The record size of the shell version this icon speaks, without the balloon icon.
    static const DWORD kRecordSize = 952;

private:
    bool m_created;
    bool m_hidden;
    UINT m_callbackMessage;
    HICON m_icon;
    NOTIFYICONDATAW m_record;
    ShellCall m_shell;
};

}  // namespace HiveUI
