#include "SettingFrame.h"

#include "ComboWnd.h"
#include "MainFrameMessages.h"
#include "ServerLines.h"
#include "TextConvert.h"
#include "UICombo.h"
#include "UIListLabelElement.h"

using namespace HiveUI;

namespace {

const wchar_t kShellVersion[] = L" V4.0";

}  // namespace

void SettingFrame::InitWindow() {
    SetProgramIcon();
    m_version = m_pm.FindControl(L"lab_version");
    m_lines = static_cast<CComboUI*>(m_pm.FindControl(L"combo_lines"));
    m_banner = m_pm.FindControl(L"vanner_layout");
    if (m_banner != nullptr) m_banner->SetBkColor(0xFF0495FD);
    if (m_version != nullptr) m_version->SetText(kShellVersion);
    if (m_lines != nullptr) {
        m_lines->SetAttribute(L"itemhotbkcolor", L"#FFFFF39F");
        m_lines->SetAttribute(L"itemselectedbkcolor", L"#FFFFF39F");
        FillLines();
    }
    BringToFront();
}

void SettingFrame::FillLines() {
    m_lines->RemoveAll();
    for (size_t i = 0; i < g_lines.lines.size(); ++i) {
        auto* item = new CListLabelElementUI;
        item->SetText(AnsiToWideByValue(g_lines.lines[i].name).c_str());
        item->SetName(L"line_item");
        item->SetTag(i);
        m_lines->Add(item);
    }
    m_shownLine = g_lines.selected;
    m_lines->SelectItem(m_shownLine, false);
}

void SettingFrame::Notify(TNotifyInfo& msg) {
    if (msg.sType == L"itemselect" && msg.pSender != nullptr && msg.pSender->GetName().CompareNoCase(L"combo_lines") == 0 &&
        m_lines != nullptr) {
        const int chosen = m_lines->GetCurSel();
        if (chosen >= 0 && chosen != g_lines.selected) {
            SetSelectedLine(chosen);
            ::PostMessageW(m_mainWindow, WM_LINE_CHANGED, 0, 0);
        }
    }
    WindowImplBase::Notify(msg);
}

LRESULT SettingFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // An open drop-down lists the combo's rows: it closes before the window that owns them.
    if ((msg == WM_CLOSE || msg == WM_DESTROY) && m_lines != nullptr) {
        if (CComboWnd* drop = m_lines->GetDropWindow()) ::SendMessageW(drop->GetHWND(), WM_CLOSE, 0, 0);
    }
    if (msg == WM_DESTROY) m_lines = nullptr;
    return ClientDialog::HandleMessage(msg, wParam, lParam);
}

void ShowSettings(HWND mainWindow) {
    SettingFrame frame(mainWindow);
    frame.RunModal(mainWindow, L"\u8BBE\u7F6E");  // "设置" (settings)
}
