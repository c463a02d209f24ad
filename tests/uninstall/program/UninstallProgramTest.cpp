// Runs the real uninstall.exe against a fake installation in the test's own Wine prefix
// and presses its buttons from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeInstallation.h"
#include "UninstallWindow.h"

namespace {

const wchar_t kWaitHelper[] = L"UNINSTALL_TEST_WAIT_HELPER";
const DWORD kLongWait = 90000;

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::string Utf8(const std::wstring& text) { return Narrow(text, CP_UTF8); }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Polls until path is gone or the bound has passed.
bool GoneWithin(const std::wstring& path, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 200) {
        if (!Exists(path)) return true;
        Sleep(200);
    }
    return !Exists(path);
}

// Started as a copy of this executable: waits until something ends it.
TEST(Helper, WaitsUntilEnded) {
    if (GetEnvironmentVariableW(kWaitHelper, nullptr, 0) == 0) GTEST_SKIP() << "runs only as a helper process";
    Sleep(INFINITE);
}

class UninstallProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(install_.Laid());
        SetEnvironmentVariableW(kWaitHelper, L"1");
        const bool started = install_.StartHelpers(OwnPath(), L"--gtest_filter=Helper.WaitsUntilEnded");
        SetEnvironmentVariableW(kWaitHelper, nullptr);
        ASSERT_TRUE(started);
    }

    // Starts the uninstaller and returns its window once it shows.
    HWND Start() {
        if (!install_.StartUninstaller()) return nullptr;
        HWND wnd = UninstallWindow::Find(install_.UninstallerPid());
        return wnd != nullptr && UninstallWindow::WaitForPage(wnd, false) ? wnd : nullptr;
    }

    // Presses "卸载" and waits for the result page; the width of its text.
    int Uninstall(HWND wnd) {
        UninstallWindow::Click(wnd, UninstallWindow::kUninstall);
        if (!UninstallWindow::WaitForPage(wnd, true)) return -1;
        return UninstallWindow::ResultTextWidth(wnd);
    }

    void ExpectNothingTouched(const std::string& run) {
        for (const std::wstring& path : install_.ProductPaths()) EXPECT_TRUE(Exists(path)) << run << ": " << Utf8(path);
        for (const std::wstring& path : install_.dotEntries) EXPECT_TRUE(Exists(path)) << run << ": " << Utf8(path);
        bool hklm = false, hkcu = false;
        install_.ProductKeysExist(hklm, hkcu);
        EXPECT_TRUE(hklm && hkcu) << run;
        EXPECT_TRUE(install_.ClientHelperRuns()) << run;
        ExpectSentinelsKept(run);
    }

    void ExpectSentinelsKept(const std::string& run) {
        for (const std::wstring& path : install_.SentinelPaths()) EXPECT_TRUE(Exists(path)) << run << ": " << Utf8(path);
        EXPECT_TRUE(install_.SentinelKeysExist()) << run;
        EXPECT_TRUE(install_.OtherHelperRuns()) << run;
    }

    // Unique per run: a run ended from outside leaves its installation behind.
    FakeInstallation install_{L"TallyhiveUninstallTest" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount())};
};

// The success text is a few characters wide; the error texts span most of the line.
const int kSuccessTextMax = 150;
const int kErrorTextMin = 200;

TEST_F(UninstallProgram, UninstallAndCloseRemoveTheProductAndNothingElse) {
    HWND wnd = Start();
    ASSERT_NE(nullptr, wnd);
    EXPECT_EQ(L"tallyhive\u5378\u8f7d\u7a0b\u5e8f", UninstallWindow::Title(wnd));  // "tallyhive卸载程序"
    const int width = Uninstall(wnd);
    EXPECT_GT(width, 0);
    EXPECT_LT(width, kSuccessTextMax);
    EXPECT_FALSE(install_.ClientHelperRuns());
    UninstallWindow::Click(wnd, UninstallWindow::kClose);
    EXPECT_EQ(0u, install_.WaitUninstaller(kLongWait));

    EXPECT_TRUE(GoneWithin(install_.installFolder, kLongWait));
    for (const std::wstring& path : install_.ProductPaths()) EXPECT_FALSE(Exists(path)) << Utf8(path);
    bool hklm = true, hkcu = true;
    install_.ProductKeysExist(hklm, hkcu);
    EXPECT_FALSE(hklm);
    EXPECT_FALSE(hkcu);
    ExpectSentinelsKept("uninstall");
}

TEST_F(UninstallProgram, CancelAndTheTitleBarCloseRemoveNothing) {
    for (const POINT button : {UninstallWindow::kCancel, UninstallWindow::kTitleClose}) {
        HWND wnd = Start();
        ASSERT_NE(nullptr, wnd);
        UninstallWindow::Click(wnd, button);
        EXPECT_EQ(1u, install_.WaitUninstaller(kLongWait));
        ExpectNothingTouched(button.x == UninstallWindow::kCancel.x ? "cancel" : "close button");
    }
}

// Each record runs the real program: the error text shows, "关闭" ends it with 0 and
// nothing anywhere is deleted or ended.
TEST_F(UninstallProgram, IncompleteOrHostileRecordsDeleteNothing) {
    wchar_t windows[MAX_PATH] = {}, profile[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    auto narrow = [](const std::wstring& text) { return Narrow(text, CP_ACP); };
    std::vector<std::string> good = install_.Record();
    const std::string path = narrow(install_.installFolder);
    auto with = [&](size_t index, const std::string& line) {
        std::vector<std::string> record = good;
        record[index] = line;
        return record;
    };
    auto without = [&](size_t index) {
        std::vector<std::string> record = good;
        record.erase(record.begin() + static_cast<long>(index));
        return record;
    };
    const std::vector<std::vector<std::string>> records = {
        without(0), without(1), without(2), with(0, "install_reg_name=  "),
        with(1, "install_path=C:\\"), with(1, "install_path=" + narrow(windows)),
        with(1, "install_path=" + narrow(profile)), with(1, "install_path=Pet Shop tally hive"),
        with(1, "install_path=" + path + "\" & rmdir /s /q C:\\users & \""), with(1, "install_path=" + path + "%TEMP%"),
        with(1, "install_path=" + path + "-old"),
        with(0, "install_reg_name=.."), with(0, "install_reg_name=*"), with(2, "uninstall_name=a\\b"),
        with(0, "install_reg_name=" + std::string(255, 'a')),
    };
    for (const std::vector<std::string>& record : records) {
        std::string run;
        for (const std::string& line : record) run += line + "; ";
        ASSERT_TRUE(install_.WriteRecord(record));
        HWND wnd = Start();
        ASSERT_NE(nullptr, wnd) << run;
        EXPECT_GT(Uninstall(wnd), kErrorTextMin) << run;
        UninstallWindow::Click(wnd, UninstallWindow::kClose);
        EXPECT_EQ(0u, install_.WaitUninstaller(kLongWait)) << run;
        ExpectNothingTouched(run);
    }
}

// A file held open cannot be deleted: the result says so instead of success.
TEST_F(UninstallProgram, SomethingThatCannotBeRemovedIsReported) {
    HANDLE locked = CreateFileW((install_.installFolder + L"\\config.xml").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    HWND wnd = Start();
    ASSERT_NE(nullptr, wnd);
    EXPECT_GT(Uninstall(wnd), kErrorTextMin);
    CloseHandle(locked);
    UninstallWindow::Click(wnd, UninstallWindow::kClose);
    EXPECT_EQ(0u, install_.WaitUninstaller(kLongWait));
    EXPECT_TRUE(GoneWithin(install_.installFolder, kLongWait));
    ExpectSentinelsKept("locked file");
}

}  // namespace
