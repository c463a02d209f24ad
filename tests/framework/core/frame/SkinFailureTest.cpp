// A frame whose skin cannot be built ends its process after telling the user: the test
// runs such a frame in a child copy of itself, answers the message box and reads the
// exit code.
#include <string>
#include <vector>

#include "FrameKit.h"

namespace {

// Run only in the child process (disabled in an ordinary run).
TEST(SkinFailureChild, DISABLED_MissingSkin) {
    UseFrameSkins();
    TestFrame frame(L"frame\\nothere.xml");
    frame.Create(nullptr, L"frame", WS_POPUP, 0, 0, 0, 100, 100);
    ADD_FAILURE() << "the process should have ended";
}

TEST(SkinFailureChild, DISABLED_BrokenSkin) {
    UseFrameSkins();
    TestFrame frame(L"frame\\broken.xml");
    frame.Create(nullptr, L"frame", WS_POPUP, 0, 0, 0, 100, 100);
    ADD_FAILURE() << "the process should have ended";
}

struct ChildRun {
    bool boxFound = false;
    std::wstring text;
    DWORD exitCode = 0;
};

BOOL CALLBACK CollectStaticText(HWND child, LPARAM data) {
    wchar_t name[32] = {}, text[512] = {};
    GetClassNameW(child, name, 32);
    GetWindowTextW(child, text, 512);
    if (_wcsicmp(name, L"Static") == 0 && text[0] != L'\0') *reinterpret_cast<std::wstring*>(data) = text;
    return TRUE;
}

std::wstring StaticTextOf(HWND box) {
    std::wstring found;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindBoxOf(DWORD processId) {
    for (HWND box = FindWindowW(L"#32770", L"HiveUI"); box != nullptr;
         box = FindWindowExW(nullptr, box, L"#32770", L"HiveUI")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == processId) return box;
    }
    return nullptr;
}

ChildRun RunChild(const wchar_t* test) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + exe + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ChildRun run;
    if (!CreateProcessW(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return run;
    // The box blocks the child until it is answered; give up only when the child ended.
    // Its text arrives a moment after the box itself: wait a bounded while for it.
    DWORD textDeadline = 0;
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        HWND box = FindBoxOf(process.dwProcessId);
        if (box == nullptr) continue;
        run.boxFound = true;
        run.text = StaticTextOf(box);
        if (textDeadline == 0) textDeadline = GetTickCount() + 10000;
        if (run.text.empty() && static_cast<LONG>(GetTickCount() - textDeadline) < 0) continue;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_TIMEOUT) PostMessageW(box, WM_CLOSE, 0, 0);
        WaitForSingleObject(process.hProcess, 30000);
        break;
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    if (run.exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

TEST(SkinFailure, AMissingOrBrokenSkinShowsTheBoxAndEndsWithExitCodeOne) {
    const struct {
        const wchar_t* test;
        const wchar_t* expectedText;
    } cases[] = {
        // "加载资源文件失败：" and the skin file
        {L"SkinFailureChild.DISABLED_MissingSkin", L"\u52A0\u8F7D\u8D44\u6E90\u6587\u4EF6\u5931\u8D25\uFF1Aframe\\nothere.xml"},
        {L"SkinFailureChild.DISABLED_BrokenSkin", L"\u52A0\u8F7D\u8D44\u6E90\u6587\u4EF6\u5931\u8D25\uFF1Aframe\\broken.xml"},
    };
    for (const auto& c : cases) {
        const ChildRun run = RunChild(c.test);
        EXPECT_TRUE(run.boxFound) << c.test;
        EXPECT_EQ(std::wstring(c.expectedText), run.text);
        EXPECT_EQ(1u, run.exitCode) << c.test;
    }
}

}  // namespace
