// DownloadUpdateFrame: the update window. It downloads the new version's installer on a
// thread of its own while it shows the progress, starts the installer and ends the
// client; when the download fails or the user closes the window, the main window comes
// back instead.
#pragma once

#include <memory>
#include <string>

#include "ClientDialog.h"
#include "ScopedHandle.h"

namespace HiveUI {
class CProgressUI;
}

struct DownloadJob;

class DownloadUpdateFrame : public ClientDialog {
public:
    DownloadUpdateFrame(std::string version, std::string link);
    ~DownloadUpdateFrame() override;

    const wchar_t* GetWindowClassName() const override { return L"DownloadUpdateFrame"; }
    HiveUI::CUIString GetSkinFile() override { return L"download_update.xml"; }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void InitWindow() override;
    LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

    // How long closing waits for the download to stop; a cancel takes effect within
    // about a second, so this is reached only by a thread stuck outside the transfer.
    static const DWORD kThreadBound = 10000;

private:
    static DWORD WINAPI DownloadFun(LPVOID job);
    void OnProgress();
    void OnFinished(WPARAM outcome);
    // Cancels the download and waits for its thread, bounded.
    void StopDownload();

    const std::string m_version;
    const std::string m_link;
    HiveUI::CControlUI* m_progressText = nullptr;
    HiveUI::CProgressUI* m_progressBar = nullptr;
    HiveUI::CScopedKernelHandle m_thread;
    // Shared with the download thread, which may outlive the window when closing stops
    // waiting for it; the thread touches nothing else of the window.
    std::shared_ptr<DownloadJob> m_job;
};
