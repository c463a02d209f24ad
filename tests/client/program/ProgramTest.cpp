// Runs the real tallyhive.exe the way a user or the engine starts it, and looks at
// what it leaves behind: the data folder, config.ini, the engine trace and the
// processes it ends.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "MainFrameMessages.h"
#include "OtherInstances.h"
#include "ProgramDriver.h"

using namespace ProgramDriver;

namespace {

const wchar_t kMainClass[] = L"TallyHiveMainFrameWnd";

const wchar_t kWaitHelper[] = L"TALLYHIVE_TEST_WAIT_HELPER";
const wchar_t kSpawnHelper[] = L"TALLYHIVE_TEST_SPAWN_HELPER";

std::wstring ProgramPath() { return ProgramUnderTest(L"tallyhive.exe", TALLYHIVE_EXE_RELATIVE); }

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"client-program-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring DataFolder() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\tallyhive\\";
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 4 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                                      static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::wstring& folder) {
    std::wstring from = folder;
    while (!from.empty() && from.back() == L'\\') from.pop_back();
    from.push_back(L'\0');  // the list ends with two NULs
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

// A run as a user makes it: the browser process shows its main window and is quit
// through it (a sub-process ends on its own); the exit code.
DWORD RunProgram(const std::wstring& args = L"") {
    Process program(ProgramPath(), args);
    EXPECT_TRUE(program.Started());
    if (!program.Started()) return STILL_ACTIVE;
    HWND main = nullptr;
    WaitUntil([&] { return !program.Running() || (main = FindProcessWindow(kMainClass, program.Id())) != nullptr; });
    if (main != nullptr) PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    return program.Wait(60000);
}

// Engine trace records of the run, without the process-id prefix.
class TraceFile {
public:
    TraceFile() : path_(TempFolder() + L"trace.txt") {
        DeleteFileW(path_.c_str());
        SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", path_.c_str());
    }
    ~TraceFile() { SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", nullptr); }
    std::vector<std::string> Records() const {
        std::vector<std::string> records;
        std::istringstream in(ReadFile(path_));
        for (std::string line; std::getline(in, line);) records.push_back(line.substr(line.find("] ") + 2));
        return records;
    }

private:
    std::wstring path_;
};

// Started as a copy of this executable: waits until something ends it.
TEST(ProgramHelper, WaitsUntilEnded) {
    if (GetEnvironmentVariableW(kWaitHelper, nullptr, 0) == 0) GTEST_SKIP() << "runs only as a helper process";
    Sleep(INFINITE);
}

// Started as a copy of this executable: starts a waiting helper, names it in a file, and
// exits, so the helper outlives its parent.
TEST(ProgramHelper, SpawnsAnOrphan) {
    wchar_t pidFile[MAX_PATH] = {};
    if (GetEnvironmentVariableW(kSpawnHelper, pidFile, MAX_PATH) == 0) GTEST_SKIP() << "runs only as a helper process";
    SetEnvironmentVariableW(kSpawnHelper, nullptr);
    SetEnvironmentVariableW(kWaitHelper, L"1");
    std::wstring line = L"\"" + OwnPath() + L"\" --gtest_filter=ProgramHelper.WaitsUntilEnded";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(OwnPath().c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    std::ofstream(pidFile) << pi.dwProcessId;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TEST(Program, CarriesItsIconVersionAndCommonControlsManifest) {
    HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    EXPECT_NE(nullptr, FindResourceW(module, MAKEINTRESOURCEW(132), MAKEINTRESOURCEW(14)));  // group icon
    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, manifest);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, manifest)));
    const std::string manifestText(text, SizeofResource(module, manifest));
    EXPECT_NE(std::string::npos, manifestText.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    FreeLibrary(module);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ProgramPath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(0x00040000u, fixed->dwProductVersionMS);
}

TEST(Program, FirstRunCreatesTheDataFolderAndItsFiles) {
    RemoveTree(DataFolder());
    ASSERT_FALSE(Exists(DataFolder()));
    EXPECT_EQ(1u, RunProgram());
    for (const wchar_t* name : {L"", L"config.ini", L"log.txt", L"cef.log", L"cefcache\\userdata", L"cefcache\\Cookies"}) {
        EXPECT_TRUE(Exists(DataFolder() + name)) << Utf8(name);
    }
    EXPECT_EQ("# Netscape HTTP Cookie File\n", ReadFile(DataFolder() + L"cefcache\\Cookies"));
}

TEST(Program, AStoredIndexOutsideTheLinesIsRewrittenAsZero) {
    CreateDirectoryW(DataFolder().c_str(), nullptr);
    const std::wstring config = DataFolder() + L"config.ini";
    for (const wchar_t* stored : {L"5", L"-1", L"1"}) {
        WritePrivateProfileStringW(L"LINES", L"SELECT_INDEX", stored, config.c_str());
        EXPECT_EQ(1u, RunProgram());
        wchar_t value[16] = {};
        GetPrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"", value, 16, config.c_str());
        EXPECT_STREQ(L"0", value) << Utf8(stored);
    }
}

TEST(Program, TheEngineGetsTheClientSettingsAndTheSixSwitchesInOrder) {
    TraceFile trace;
    EXPECT_EQ(1u, RunProgram());
    const std::string data = Utf8(DataFolder());
    const std::vector<std::string> expected = {
        "high-dpi support enabled",
        "initialize single_process=0 no_sandbox=1 multi_threaded_message_loop=1 cache_path=" + data +
            "cefcache\\ user_data_path=" + data + "cefcache\\userdata\\ log_file=" + data + "cef.log log_severity=3",
        "switches --touch-events=enabled --enable-npapi --disable-web-security --ppapi-flash-version=25.0.0.127 "
        "--ppapi-flash-path=ppflash\\25_0_0_127\\pepflashplayer32_25_0_0_127.dll "
        "--autoplay-policy=no-user-gesture-required",
    };
    // The main window's browser comes between start-up and shutdown.
    const std::vector<std::string> records = trace.Records();
    ASSERT_LE(expected.size() + 2, records.size());
    EXPECT_EQ(expected, std::vector<std::string>(records.begin(), records.begin() + expected.size()));
    EXPECT_NE(records.end(), std::find(records.begin() + expected.size(), records.end(), "cookies flushed"));
    EXPECT_EQ("shutdown", records.back());
}

// Points the user's local application-data folder elsewhere for the life of the object.
class LocalAppDataOverride {
public:
    explicit LocalAppDataOverride(const std::wstring& folder) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        DWORD size = sizeof(saved_);
        hadValue_ = RegQueryValueExW(key_, L"Local AppData", nullptr, &type_, reinterpret_cast<BYTE*>(saved_), &size) ==
                    ERROR_SUCCESS;
        savedSize_ = size;
        RegSetValueExW(key_, L"Local AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    ~LocalAppDataOverride() {
        if (hadValue_) {
            RegSetValueExW(key_, L"Local AppData", 0, type_, reinterpret_cast<const BYTE*>(saved_), savedSize_);
        } else {
            RegDeleteValueW(key_, L"Local AppData");
        }
        RegCloseKey(key_);
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY key_ = nullptr;
    bool hadValue_ = false;
    DWORD type_ = REG_EXPAND_SZ;
    wchar_t saved_[MAX_PATH] = {};
    DWORD savedSize_ = 0;
};

// Under code page 936 a Chinese folder name reaches the engine intact.
TEST(Program, AChineseApplicationDataFolderReachesTheEngineIntact) {
    // "本地数据" (local data)
    const std::wstring appData = TempFolder() + L"\u672c\u5730\u6570\u636e";
    CreateDirectoryW(appData.c_str(), nullptr);
    std::vector<std::string> records;
    {
        LocalAppDataOverride override(appData);
        ASSERT_EQ(appData + L"\\tallyhive\\", DataFolder());
        TraceFile trace;
        EXPECT_EQ(1u, RunProgram());
        records = trace.Records();
    }
    EXPECT_TRUE(Exists(appData + L"\\tallyhive\\cefcache\\userdata"));
    EXPECT_TRUE(Exists(appData + L"\\tallyhive\\config.ini"));
    ASSERT_GE(records.size(), 2u);
    EXPECT_NE(std::string::npos, records[1].find(" cache_path=" + Utf8(appData) + "\\tallyhive\\cefcache\\ ")) << records[1];
}

TEST(Program, ARendererSubProcessReturnsAtOnceWithoutWritingTheConfig) {
    TraceFile trace;
    const std::wstring config = DataFolder() + L"config.ini";
    DeleteFileW(config.c_str());
    EXPECT_EQ(0u, RunProgram(L"--type=renderer --lang=zh-CN"));
    EXPECT_FALSE(Exists(config));
    const std::vector<std::string> expected = {"high-dpi support enabled", "sub-process type=renderer exit=0"};
    EXPECT_EQ(expected, trace.Records());
}

TEST(Program, AStartEndsACopyOfTheSameNameButNotARenamedOne) {
    const std::wstring folder = TempFolder();
    CreateDirectoryW((folder + L"same").c_str(), nullptr);
    CreateDirectoryW((folder + L"renamed").c_str(), nullptr);
    // The same file name in other letter case and another folder still counts as a copy.
    const std::wstring same = folder + L"same\\TallyHive.EXE";
    const std::wstring renamed = folder + L"renamed\\tallyhive-old.exe";
    ASSERT_TRUE(CopyFileW(OwnPath().c_str(), same.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(OwnPath().c_str(), renamed.c_str(), FALSE));
    SetEnvironmentVariableW(kWaitHelper, L"1");
    Process first(same, L"--gtest_filter=ProgramHelper.WaitsUntilEnded");
    Process other(renamed, L"--gtest_filter=ProgramHelper.WaitsUntilEnded");
    SetEnvironmentVariableW(kWaitHelper, nullptr);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(other.Started());

    EXPECT_EQ(1u, RunProgram());
    // Termination completes asynchronously; the bound only keeps a failure from hanging.
    EXPECT_EQ(0u, first.Wait(30000));
    EXPECT_EQ(STILL_ACTIVE, other.Wait(0));
}

TEST(Program, ShutdownEndsOnlyThisProcesssOwnSubProcesses) {
    SetEnvironmentVariableW(kWaitHelper, L"1");
    Process child(OwnPath(), L"--gtest_filter=ProgramHelper.WaitsUntilEnded");
    SetEnvironmentVariableW(kWaitHelper, nullptr);
    const std::wstring pidFile = TempFolder() + L"orphan.txt";
    DeleteFileW(pidFile.c_str());
    SetEnvironmentVariableW(kSpawnHelper, pidFile.c_str());
    Process spawner(OwnPath(), L"--gtest_filter=ProgramHelper.SpawnsAnOrphan");
    SetEnvironmentVariableW(kSpawnHelper, nullptr);
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(spawner.Started());
    ASSERT_EQ(0u, spawner.Wait());
    const DWORD orphanPid = static_cast<DWORD>(std::atol(ReadFile(pidFile).c_str()));
    ASSERT_NE(0u, orphanPid);
    HANDLE orphan = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, orphanPid);
    ASSERT_NE(nullptr, orphan);

    KillOwnSubProcesses();
    EXPECT_EQ(0u, child.Wait(30000));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(orphan, 0));
    TerminateProcess(orphan, 0);
    CloseHandle(orphan);
}

}  // namespace
