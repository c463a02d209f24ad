// The real tallyhive.exe asks the update endpoint once at start (the test's loopback
// server, reached as the HTTP proxy), logs why an answer brings no update, and for a
// newer version downloads the installer (from the same server, reached directly) in the
// update window, starts it and ends, or gives up and shows the main window again.
#include "../../engine/common/LoopbackServer.h"  // winsock2.h must come before windows.h

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "MainFrameMessages.h"
#include "ProgramDriver.h"
#include "TestFiles.h"
#include "../common/UpdateOffer.h"

using namespace ProgramDriver;
using namespace TestFiles;

namespace {

std::wstring DataFolder() { return LocalAppDataFolder() + L"tallyhive\\"; }

std::string LogText() { return ReadAll(DataFolder() + L"log.txt"); }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Whether upper lies above lower in the z-order of the top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND wnd = GetWindow(upper, GW_HWNDNEXT); wnd != nullptr; wnd = GetWindow(wnd, GW_HWNDNEXT)) {
        if (wnd == lower) return true;
    }
    return false;
}

// A key pressed on the keyboard: it goes to whichever window has the focus.
void Type(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

TEST(UpdateProgram, AFailedCheckAtStartIsLoggedAndTheClientRunsOn) {
    LoopbackServer server;
    LoopbackServer::Reply broken;
    broken.status = 500;
    server.Serve("http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index", broken);
    _putenv(("http_proxy=http://127.0.0.1:" + std::to_string(server.Port())).c_str());
    const size_t logged = LogText().size();

    Process program(BesideSelf(TALLYHIVE_EXE_RELATIVE), L"");
    ASSERT_TRUE(program.Started());
    HWND main = WaitForWindow(L"TallyHiveMainFrameWnd", program.Id());
    ASSERT_NE(nullptr, main);
    // "UPDATEGET_URL 请求失败！" in GBK, as the log file holds it.
    const std::string line = "UPDATEGET_URL \xC7\xEB\xC7\xF3\xCA\xA7\xB0\xDC\xA3\xA1";
    EXPECT_TRUE(WaitUntil([&] { return LogText().find(line, logged) != std::string::npos; }, 60000));
    // One check; the page of the server line may come through the same proxy.
    const std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(1, std::count(requests.begin(), requests.end(),
                            "POST http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index HTTP/1.1"));
    EXPECT_TRUE(IsWindowVisible(main));

    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_NE(STILL_ACTIVE, program.Wait(60000));
}

// The client finds version 4.01 with its package on this server; what the package path
// answers is each test's own.
class UpdateDownload : public testing::Test {
protected:
    void SetUp() override {
        server.Serve(UpdateOffer::kCheckUrl, UpdateOffer::Newer(server.Url("/update.exe")));
        _putenv(("http_proxy=http://127.0.0.1:" + std::to_string(server.Port())).c_str());
        _putenv("no_proxy=127.0.0.1");
    }

    // Starts the client and waits for its update window, with the main window hidden.
    void StartUntilUpdateWindow() {
        // An installer left by an earlier run, which the download must not take for its own.
        CreateDirectoryW((DataFolder() + L"update").c_str(), nullptr);
        ASSERT_TRUE(Write(installer, "old"));
        logged = LogText().size();
        program.reset(new Process(BesideSelf(TALLYHIVE_EXE_RELATIVE), L""));
        ASSERT_TRUE(program->Started());
        update = WaitForWindow(L"DownloadUpdateFrame", program->Id());
        ASSERT_NE(nullptr, update);
        EXPECT_EQ(nullptr, FindProcessWindow(L"TallyHiveMainFrameWnd", program->Id()));
    }

    bool Logged(const std::string& line) {
        return WaitUntil([&] { return LogText().find(line, logged) != std::string::npos; });
    }

    // The main window is back, with no box left, and the client still runs: quit it.
    void ExpectMainBackThenQuit() {
        HWND main = WaitForWindow(L"TallyHiveMainFrameWnd", program->Id());
        ASSERT_NE(nullptr, main);
        EXPECT_EQ(nullptr, FindProcessWindow(L"MessageBoxFrame", program->Id()));
        EXPECT_FALSE(Exists(installer));
        PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
        EXPECT_NE(STILL_ACTIVE, program->Wait(60000));
    }

    LoopbackServer server;
    const std::wstring installer = DataFolder() + L"update\\update.exe";
    size_t logged = 0;
    std::unique_ptr<Process> program;
    HWND update = nullptr;
};

TEST_F(UpdateDownload, TheInstallerStartsWithTheProgramFolderAndTheClientEndsWithOne) {
    LoopbackServer::Reply package;
    package.body = ReadAll(BesideSelf(TALLYHIVE_INSTALLER_RELATIVE));
    ASSERT_FALSE(package.body.empty());
    // Until the test has seen the update window: the download may otherwise end the client first.
    package.held = true;
    server.Serve("/update.exe", package);
    const std::wstring record = TempFolder() + L"installer-command-line.txt";
    DeleteFileW(record.c_str());
    SetEnvironmentVariableW(L"TALLYHIVE_INSTALLER_RECORD", record.c_str());

    StartUntilUpdateWindow();
    server.Release();
    EXPECT_EQ(1u, program->Wait(120000));
    std::wstring line;
    ASSERT_TRUE(WaitUntil([&] { return !(line = UpdateOffer::RecordedCommandLine(record)).empty(); }));
    // The only parameter is the folder of tallyhive.exe, with its trailing backslash.
    const std::wstring folder = UpdateOffer::ProgramFolder();
    ASSERT_GE(line.size(), folder.size() + 1);
    EXPECT_EQ(L" " + folder, line.substr(line.size() - folder.size() - 1)) << line;
    EXPECT_NE(std::wstring::npos, line.find(L"update.exe")) << line;
}

TEST_F(UpdateDownload, AMissingPackageLeavesNoFileSaysSoAndBringsTheMainWindowBack) {
    // The 404 waits until the test has seen the update window alone: a fast machine would
    // otherwise bring the main window back before the test looks.
    LoopbackServer::Reply missing;
    missing.status = 404;
    missing.held = true;
    server.Serve("/update.exe", missing);
    StartUntilUpdateWindow();
    server.Release();
    HWND box = WaitForWindow(L"MessageBoxFrame", program->Id());
    ASSERT_NE(nullptr, box);
    // The box is the update window's own, over it and active; the keyboard answers it.
    EXPECT_EQ(update, GetWindow(box, GW_OWNER));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }));
    // The box is up before its modal loop disables its owner.
    EXPECT_TRUE(WaitUntil([&] { return Above(box, update) && !IsWindowEnabled(update); }));
    // "... HttpDownloadPogress 下载更新包失败！" in GBK; the box says "下载更新包失败！".
    EXPECT_TRUE(Logged("DownloadUpdateFrame::DownloadFun HttpDownloadPogress \xCF\xC2\xD4\xD8\xB8\xFC\xD0\xC2\xB0\xFC"));
    const std::vector<std::string> requests = server.Requests();
    EXPECT_NE(requests.end(), std::find(requests.begin(), requests.end(), "GET /update.exe HTTP/1.1"));
    Type(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(update); }));
    ExpectMainBackThenQuit();
}

// A package of 256 MiB is more than any installer of ours: one without end fails as it
// passes that, one that announces more fails at once. The file is deleted, the box says
// the download failed and the main window comes back.
TEST_F(UpdateDownload, APackageWithoutEndOrAnnouncingTooMuchFailsAndLeavesNoFile) {
    const struct {
        const char* name;
        long long generated;
        bool endless;
    } cases[] = {{"without end", -1, true}, {"announcing 300 MiB", 300ll << 20, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer::Reply package;
        package.generated = c.generated;
        package.endless = c.endless;
        package.held = true;
        server.Hold();
        server.Serve("/update.exe", package);
        StartUntilUpdateWindow();
        server.Release();
        // A client without the bound would fill the disk: the wait ends once the file has
        // grown past twice the bound.
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            return (box = FindProcessWindow(L"MessageBoxFrame", program->Id())) != nullptr || FileSize(installer) > (512ll << 20);
        }, 120000));
        ASSERT_NE(nullptr, box);
        // "... HttpDownloadPogress 下载更新包失败！" in GBK, the line that goes with the box's "下载更新包失败！".
        EXPECT_TRUE(Logged("DownloadUpdateFrame::DownloadFun HttpDownloadPogress \xCF\xC2\xD4\xD8\xB8\xFC\xD0\xC2\xB0\xFC"));
        EXPECT_FALSE(Exists(installer));
        PostMessageW(box, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && !IsWindow(update); }));
        ExpectMainBackThenQuit();
    }
}

TEST_F(UpdateDownload, ClosingDuringASlowTransferCancelsItAtOnceWithOrWithoutALength) {
    for (const bool withLength : {true, false}) {
        SCOPED_TRACE(withLength ? "with a length" : "without a length");
        LoopbackServer::Reply slow;
        slow.body.assign(4 * 1024 * 1024, 'x');
        slow.trickleMs = 50;
        slow.noLength = !withLength;
        server.Serve("/update.exe", slow);
        const auto asked = [&] {
            const std::vector<std::string> requests = server.Requests();
            return std::count(requests.begin(), requests.end(), "GET /update.exe HTTP/1.1");
        };
        const auto before = asked();

        StartUntilUpdateWindow();
        ASSERT_TRUE(WaitUntil([&] { return asked() > before; }));
        // Under way, into a file that no longer holds the old installer.
        EXPECT_TRUE(WaitUntil([&] { return ReadAll(installer).substr(0, 1) == "x"; }));
        PostMessageW(update, WM_CLOSE, 1, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(update); }));
        // The close waits (bounded) for the download's thread, which logs the cancel as it
        // ends: a cancel taken at once is logged before the window goes, one that waited
        // for the transfer's own end is not. "[用户取消]" (cancelled by the user) in GBK.
        EXPECT_NE(std::string::npos,
                  LogText().find("DownloadUpdateFrame::DownloadFun [\xD3\xC3\xBB\xA7\xC8\xA1\xCF\xFB]", logged));
        ExpectMainBackThenQuit();
    }
}

}  // namespace
