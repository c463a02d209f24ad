#include "TrayIcon.h"

#include "UIManager.h"

namespace HiveUI {

namespace {

// A longer tooltip is cut to what the record's field holds, terminator included.
void CopyTip(wchar_t (&field)[128], const wchar_t* tip) {
    size_t i = 0;
    for (; i + 1 < sizeof(field) / sizeof(field[0]) && tip[i] != L'\0'; ++i) field[i] = tip[i];
    field[i] = L'\0';
}

}  // namespace

CTrayIcon::CTrayIcon(ShellCall shell)
    : m_created(false), m_hidden(false), m_callbackMessage(kDefaultCallbackMessage), m_icon(nullptr),
      m_record(), m_shell(shell) {
    static_assert(kRecordSize == NOTIFYICONDATAW_V3_SIZE, "the record ends before the balloon icon");
}

CTrayIcon::~CTrayIcon() { Delete(); }

bool CTrayIcon::Create(HWND wnd, UINT iconId, const wchar_t* tip, UINT callbackMessage) {
    if (wnd == nullptr || iconId == 0) return false;
    if (callbackMessage != 0) m_callbackMessage = callbackMessage;
    // Icons from LoadIconW are shared by the system and never destroyed by their user.
    m_icon = ::LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(iconId));
    m_record.cbSize = kRecordSize;
    m_record.hWnd = wnd;
    m_record.uID = iconId;
    m_record.hIcon = m_icon;
    m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_record.uCallbackMessage = m_callbackMessage;
    if (tip != nullptr) CopyTip(m_record.szTip, tip);
    // An icon the shell refused is not there to modify or show.
    m_created = m_shell(NIM_ADD, &m_record) != FALSE;
    return m_created;
}

bool CTrayIcon::Delete() {
    const bool removed = m_shell(NIM_DELETE, &m_record) != FALSE;
    m_created = false;
    m_hidden = false;
    m_callbackMessage = kDefaultCallbackMessage;
    return removed;
}

bool CTrayIcon::SetIcon(HICON icon) {
    if (icon != nullptr) m_icon = icon;
    m_record.uFlags = NIF_ICON;
    m_record.hIcon = icon;
    return m_created && m_shell(NIM_MODIFY, &m_record) != FALSE;
}

// Hiding swaps in an empty picture: the icon keeps its place in the notification area.
void CTrayIcon::Hide() {
    if (m_hidden) return;
    SetIcon(nullptr);
    m_hidden = true;
}

void CTrayIcon::Show() {
    if (!m_hidden) return;
    SetIcon(m_icon);
    m_hidden = false;
}

}  // namespace HiveUI
