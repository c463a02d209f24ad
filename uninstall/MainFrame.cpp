#include "MainFrame.h"

#include "Removal.h"
#include "SelfRemoval.h"
#include "TextConvert.h"
#include "UninstallRecord.h"

using namespace HiveUI;

namespace {

// "是否要卸载tallyhive?", kept in GBK like the window title.
const char kQuestionGbk[] = "\xca\xc7\xb7\xf1\xd2\xaa\xd0\xb6\xd4\xd8tallyhive?";
const wchar_t kRecordError[] = L"uninstall.dat 丢失或错误，无法完成卸载，请手动卸载！";
// Shown instead of the skin's success text when something stayed behind.
const wchar_t kIncomplete[] = L"部分文件或注册表项无法删除，请手动删除！";
const WORD kSmallIconId = 108;

// In long form, like the install folder's listing, so the program is known among its entries.
std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    wchar_t longer[MAX_PATH] = {};
    const DWORD longLength = GetLongPathNameW(path, longer, MAX_PATH);
    return longLength > 0 && longLength < MAX_PATH ? std::wstring(longer, longLength) : std::wstring(path, length);
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

}  // namespace

LRESULT MainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The window has a fixed size: a caption double-click must not maximise it.
    if (msg == WM_NCLBUTTONDBLCLK) return 0;
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}

void MainFrame::OnFinalMessage(HWND wnd) {
    try {
        WindowImplBase::OnFinalMessage(wnd);
    } catch (...) {
        throw "CMainWnd::OnFinalMessage";
    }
    PostQuitMessage(0);
}

void MainFrame::InitWindow() {
    const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    SetWindowLongW(m_hWnd, GWL_STYLE, style & ~(WS_THICKFRAME | WS_MAXIMIZEBOX));
    HANDLE icon = LoadImageW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kSmallIconId), IMAGE_ICON,
                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    if (icon != nullptr) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    m_stepTabLayout = static_cast<CTabLayoutUI*>(m_pm.FindControl(L"stepTabLayout"));
    m_okButton = m_pm.FindControl(L"btn_ok");
    m_resultTip = static_cast<CLabelUI*>(m_pm.FindControl(L"suc_tip"));
    m_questionTip = static_cast<CLabelUI*>(m_pm.FindControl(L"untip"));
    if (m_questionTip != nullptr) m_questionTip->SetText(GbkToWide(kQuestionGbk).c_str());
    if (m_stepTabLayout != nullptr) m_stepTabLayout->SelectItem(0);
}

void MainFrame::OnClick(TNotifyInfo& msg) {
    CUIString name = msg.pSender != nullptr ? msg.pSender->GetName() : CUIString();
    name.MakeLower();
    if (name == L"btn_close") {
        Close(1);
    } else if (name == L"closeapp") {
        RemoveSelfAndExit();
    }
    WindowImplBase::OnClick(msg);
}

void MainFrame::Notify(TNotifyInfo& msg) {
    if (msg.sType == L"click" && msg.pSender != nullptr && msg.pSender == m_okButton) {
        DoUninstall();
        return;
    }
    WindowImplBase::Notify(msg);
}

void MainFrame::DoUninstall() {
    const std::wstring program = ProgramPath();
    UninstallRecord record;
    const wchar_t* result = kRecordError;
    if (!program.empty() && ReadUninstallRecord(FolderOf(program) + L"uninstall.dat", program, record)) {
        const bool complete = RemoveInstallation(record, program);
        const std::wstring quoted = L"\"" + record.installPath + L"\"";
        quoted.copy(g_quotedInstallPath, sizeof(g_quotedInstallPath) / sizeof(wchar_t) - 1);
        result = complete ? nullptr : kIncomplete;
    }
    // After a complete removal the skin's own text stays.
    if (result != nullptr && m_resultTip != nullptr) m_resultTip->SetText(result);
    if (m_stepTabLayout != nullptr) m_stepTabLayout->SelectItem(1);
}
