// curl brings winsock2.h, which must come before windows.h.
#include "HttpFunction.h"

#include "DownloadUpdateFrame.h"

#include <shellapi.h>

#include <atomic>

#include "AppPaths.h"
#include "Log.h"
#include "MainFrameMessages.h"
#include "MessageBoxFrame.h"
#include "UIProgress.h"

using namespace HiveUI;

namespace {

// The download thread's reports to the window: the newest percentage waits in the job,
// and at most one report is on its way, however fast libcurl calls back.
const UINT WM_DOWNLOAD_PROGRESS = WM_APP + 0x20;
// The thread has ended its work: wParam is the Outcome.
const UINT WM_DOWNLOAD_FINISHED = WM_APP + 0x21;

enum Outcome { kStarted, kStartFailed, kDownloadFailed, kCancelled };

void PostShowMain(HWND mainWindow) { ::PostMessageW(mainWindow, WM_SHOW_MAIN, 0, 0); }

}  // namespace

struct DownloadJob {
    HWND window;
    HWND mainWindow;
    std::string link;
    DownloadContext context;
    std::atomic<int> percent{0};
    std::atomic<bool> progressPosted{false};
    std::atomic<bool> started{false};
};

DownloadUpdateFrame::DownloadUpdateFrame(std::string version, std::string link)
    : m_version(std::move(version)), m_link(std::move(link)) {}

DownloadUpdateFrame::~DownloadUpdateFrame() { StopDownload(); }

void DownloadUpdateFrame::InitWindow() {
    SetProgramIcon();
    m_progressText = m_pm.FindControl(L"download_progress_text");
    if (CControlUI* bar = m_pm.FindControl(L"download_progress")) {
        m_progressBar = static_cast<CProgressUI*>(bar->GetInterface(L"Progress"));
    }
    if (m_progressBar != nullptr) m_progressBar->SetValue(0);
    if (m_progressText != nullptr) m_progressText->SetText(L"\u5F00\u59CB\u4E0B\u8F7D\u2026\u2026");  // "开始下载……"
    ::SetForegroundWindow(m_hWnd);

    m_job = std::make_shared<DownloadJob>();
    m_job->window = m_hWnd;
    m_job->mainWindow = g_mainHwnd;
    m_job->link = m_link;
    auto* job = new std::shared_ptr<DownloadJob>(m_job);
    m_thread.Reset(::CreateThread(nullptr, 0, DownloadFun, job, CREATE_SUSPENDED, nullptr));
    if (m_thread.IsValid()) {
        ::ResumeThread(m_thread.Get());
    } else {
        // Without its thread the window would wait for ever: a failed download.
        delete job;
        PostShowMain(g_mainHwnd);
        ::PostMessageW(m_hWnd, WM_DOWNLOAD_FINISHED, kDownloadFailed, 0);
    }
    BringToFront();
}

LRESULT DownloadUpdateFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DOWNLOAD_PROGRESS) {
        OnProgress();
        return 0;
    }
    if (msg == WM_DOWNLOAD_FINISHED) {
        OnFinished(wParam);
        return 0;
    }
    return ClientDialog::HandleMessage(msg, wParam, lParam);
}

void DownloadUpdateFrame::OnProgress() {
    // Cleared before the read, so a report made meanwhile posts again.
    m_job->progressPosted = false;
    const int percent = m_job->percent;
    if (m_progressBar != nullptr) m_progressBar->SetValue(percent);
    if (m_progressText != nullptr) {
        // "正在下载新程序(N%)……"
        const std::wstring text = L"\u6B63\u5728\u4E0B\u8F7D\u65B0\u7A0B\u5E8F(" + std::to_wstring(percent) + L"%)\u2026\u2026";
        m_progressText->SetText(text.c_str());
    }
}

// The boxes belong to this thread as the window does; the window stays up under them.
// Each box is the window's own, so that it stays above the window and takes the keyboard
// while the window waits, disabled, for it. The window draws itself first: a failure that
// comes before its first paint would leave that paint to the box's modal loop, and the
// first paint of a layered window makes it anew under Wine, on top of the box.
void DownloadUpdateFrame::OnFinished(WPARAM outcome) {
    ::UpdateWindow(m_hWnd);
    if (outcome == kDownloadFailed) {
        ShowMessageBox(L"\u4E0B\u8F7D\u66F4\u65B0\u5305\u5931\u8D25\uFF01", 0, m_hWnd, false);  // "下载更新包失败！"
    } else if (outcome == kStartFailed) {
        ShowMessageBox(L"\u542F\u52A8\u66F4\u65B0\u5305\u5931\u8D25\uFF01", 0, m_hWnd, false);  // "启动更新包失败！"
    }
    Close(1);
}

LRESULT DownloadUpdateFrame::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
    StopDownload();
    // The modal loop passes the quit on, and the whole client ends for the installer.
    if (m_job && m_job->started) ::PostQuitMessage(1);
    handled = FALSE;
    return 0;
}

void DownloadUpdateFrame::StopDownload() {
    if (m_job) m_job->context.cancel = true;
    if (!m_thread.IsValid()) return;
    ::WaitForSingleObject(m_thread.Get(), kThreadBound);
    m_thread.Reset();
}

DWORD WINAPI DownloadUpdateFrame::DownloadFun(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<DownloadJob>> held(static_cast<std::shared_ptr<DownloadJob>*>(param));
    const std::shared_ptr<DownloadJob> job = *held;

    const std::string folder = g_dataFolder + "update\\";
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::CreateDirectoryA(folder.c_str(), nullptr);
    }
    const std::string file = folder + "update" + ".exe";
    // An installer left by an earlier run must not be taken for this one.
    ::DeleteFileA(file.c_str());

    const DownloadProgress progress = [job](int percent) {
        if (static_cast<unsigned>(percent) > 100u) return;
        job->percent = percent;
        if (!job->progressPosted.exchange(true)) ::PostMessageW(job->window, WM_DOWNLOAD_PROGRESS, 0, 0);
    };
    bool downloaded = HttpDownloadPogress(progress, job->link, file, job->context);
    // A close that came after the last byte still wins: nothing is started for a window
    // that is no longer there to end the client.
    if (downloaded && job->context.cancel) {
        ::DeleteFileA(file.c_str());
        downloaded = false;
    }

    Outcome outcome = kStarted;
    if (downloaded) {
        const HINSTANCE result =
            ::ShellExecuteA(nullptr, nullptr, file.c_str(), g_exeFolder.c_str(), nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(result) > 32) {
            job->started = true;
        } else {
            LogWrite(LOG_ERROR, __FILE__, __LINE__,
                     "DownloadUpdateFrame::DownloadFun ShellExecuteA \xC6\xF4\xB6\xAF\xB8\xFC\xD0\xC2\xB0\xFC\xCA\xA7"
                     "\xB0\xDC\xA3\xA1");
            PostShowMain(job->mainWindow);
            outcome = kStartFailed;
        }
    } else {
        PostShowMain(job->mainWindow);
        if (job->context.cancel) {
            LogWrite(LOG_ERROR, __FILE__, __LINE__,
                     "DownloadUpdateFrame::DownloadFun [\xD3\xC3\xBB\xA7\xC8\xA1\xCF\xFB] \xCF\xC2\xD4\xD8\xB8\xFC\xD0"
                     "\xC2\xB0\xFC\xCA\xA7\xB0\xDC\xA3\xA1");
            outcome = kCancelled;
        } else {
            LogWrite(LOG_ERROR, __FILE__, __LINE__,
                     "DownloadUpdateFrame::DownloadFun HttpDownloadPogress \xCF\xC2\xD4\xD8\xB8\xFC\xD0\xC2\xB0\xFC"
                     "\xCA\xA7\xB0\xDC\xA3\xA1");
            outcome = kDownloadFailed;
        }
    }
    ::PostMessageW(job->window, WM_DOWNLOAD_FINISHED, outcome, 0);
    return 0;
}
