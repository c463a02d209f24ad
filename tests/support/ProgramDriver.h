// Driving a real program from outside, as a user would: start it, wait for its windows
// with bounded polls (the machines that run the tests are often loaded), click at
// points of a window, press keys, and read what the screen shows of a window.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "PixelCanvas.h"
#include "TestFiles.h"

namespace ProgramDriver {

inline std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// A path given relative to this test executable's folder, with forward slashes.
inline std::wstring BesideSelf(const char* relative) {
    std::wstring path = OwnPath();
    path.erase(path.find_last_of(L'\\') + 1);
    for (const char* p = relative; *p; ++p) path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

// A new folder in the temporary folder, for this process alone: Wine's process ids repeat
// from run to run, so a folder named by the id alone may hold an earlier run's files.
// Empty when none could be made.
inline std::wstring NewTempFolder(const wchar_t* stem) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base = std::wstring(temp) + stem + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned n = 0;; ++n) {
        const std::wstring folder = base + std::to_wstring(n) + L"\\";
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return L"";
    }
}

// The program a test starts: the one built with the tests (given relative to this test
// executable), or, in a run pointed at the release build (TALLYHIVE_RELEASE_DIR, a Unix
// path), the copy in its package, first copied into a new folder of this Wine prefix as
// an installer would place it there. A release build without the program ends the run at
// once: whatever ran instead would be measured or tested in its place.
inline std::wstring ProgramUnderTest(const wchar_t* fileName, const char* builtRelative) {
    const char* release = getenv("TALLYHIVE_RELEASE_DIR");
    if (release == nullptr) return BesideSelf(builtRelative);
    const std::wstring packaged = TestFiles::UnixPath(release) + L"\\package\\tallyhive\\" + fileName;
    static const std::wstring folder = NewTempFolder(L"installed-");
    const std::wstring copy = folder + fileName;
    if (GetFileAttributesW(copy.c_str()) == INVALID_FILE_ATTRIBUTES &&
        (folder.empty() || !CopyFileW(packaged.c_str(), copy.c_str(), TRUE))) {
        const unsigned long error = GetLastError();
        fprintf(stderr, "cannot copy %ls into a folder of its own (error %lu): TALLYHIVE_RELEASE_DIR must name a release "
                "build folder packaged by scripts/package.sh\n", packaged.c_str(), error);
        exit(1);
    }
    return copy;
}

// Owns a started process; ends it when the test did not. Its standard error goes to the
// file errorFile when one is named.
class Process {
public:
    Process(const std::wstring& exe, const std::wstring& args, const std::wstring& errorFile = L"") {
        std::wstring line = L"\"" + exe + L"\" " + args;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE error = errorFile.empty() ? INVALID_HANDLE_VALUE
                                         : CreateFileW(errorFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (error != INVALID_HANDLE_VALUE) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdError = error;
        }
        if (CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, error != INVALID_HANDLE_VALUE, 0, nullptr, nullptr, &si,
                           &info_)) {
            CloseHandle(info_.hThread);
        } else {
            info_ = {};
        }
        if (error != INVALID_HANDLE_VALUE) CloseHandle(error);
    }
    ~Process() {
        if (info_.hProcess == nullptr) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    HANDLE Handle() const { return info_.hProcess; }
    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const { return Started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or STILL_ACTIVE when the process did not end within ms.
    DWORD Wait(DWORD ms = INFINITE) const {
        if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_ = {};
};

// Polls until ready() holds or the bound passes; the last answer.
inline bool WaitUntil(const std::function<bool()>& ready, DWORD boundMs = 60000) {
    const ULONGLONG end = GetTickCount64() + boundMs;
    while (!ready()) {
        if (GetTickCount64() >= end) return ready();
        Sleep(20);
    }
    return true;
}

struct TWindowSearch {
    const wchar_t* className;
    DWORD processId;
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND wnd, LPARAM data) {
    auto* search = reinterpret_cast<TWindowSearch*>(data);
    wchar_t name[256] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    GetClassNameW(wnd, name, 256);
    if (pid != search->processId || wcscmp(name, search->className) != 0 || !IsWindowVisible(wnd)) return TRUE;
    search->found = wnd;
    return FALSE;
}

// A visible top-level window of the class that belongs to the process, or null.
inline HWND FindProcessWindow(const wchar_t* className, DWORD processId) {
    TWindowSearch search = {className, processId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND WaitForWindow(const wchar_t* className, DWORD processId, DWORD boundMs = 60000) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(className, processId)) != nullptr; }, boundMs);
    return found;
}

// A left click at a point of the window's client area, as the mouse would post it.
inline void ClickAt(HWND wnd, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(wnd, WM_MOUSEMOVE, 0, at);
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(wnd, WM_LBUTTONUP, 0, at);
}

// Clicks a button that should close its window until the window goes. A busy machine may
// deliver a click before the window's layout exists, and then it is lost, as a user's click
// would be: the user clicks again.
inline bool ClickUntilGone(HWND wnd, int x, int y, DWORD boundMs = 60000) {
    return WaitUntil([&] {
        ClickAt(wnd, x, y);
        return WaitUntil([&] { return !IsWindow(wnd); }, 2000);
    }, boundMs);
}

inline void PressKey(HWND wnd, UINT key) {
    PostMessageW(wnd, WM_KEYDOWN, key, 1);
    PostMessageW(wnd, WM_KEYUP, key, 0xC0000001);
}

// Sends a window an empty message every 100 ms from a thread of its own, for as long as
// the object lives, and keeps how long the answers took: a window whose thread is stuck
// does not answer within the bound. The bound is below every network wait the programs
// make (5 s and more), and far above what a busy machine takes to schedule an answer.
class AnswerWatch {
public:
    AnswerWatch(HWND wnd, DWORD boundMs = 3000) : wnd_(wnd), bound_(boundMs), thread_([this] { Run(); }) {}
    ~AnswerWatch() { Stop(); }
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    unsigned Sent() const { return sent_; }
    unsigned Unanswered() const { return unanswered_; }
    DWORD SlowestMs() const { return slowest_; }
    // When the slowest answer was asked for, in ms after the watch began.
    DWORD SlowestAtMs() const { return slowestAt_; }

private:
    void Run() {
        while (!stop_) {
            const ULONGLONG start = GetTickCount64();
            DWORD_PTR result = 0;
            const bool answered = SendMessageTimeoutW(wnd_, WM_NULL, 0, 0, SMTO_NORMAL, bound_, &result) != 0;
            const DWORD took = static_cast<DWORD>(GetTickCount64() - start);
            ++sent_;
            if (!answered) ++unanswered_;
            if (took >= slowest_) {
                slowest_ = took;
                slowestAt_ = static_cast<DWORD>(start - began_);
            }
            Sleep(100);
        }
    }

    HWND wnd_;
    DWORD bound_;
    std::atomic<bool> stop_{false};
    std::atomic<unsigned> sent_{0};
    std::atomic<unsigned> unanswered_{0};
    std::atomic<DWORD> slowest_{0};
    std::atomic<DWORD> slowestAt_{0};
    const ULONGLONG began_ = GetTickCount64();
    std::thread thread_;
};

inline SIZE ClientSize(HWND wnd) {
    RECT rc = {};
    GetClientRect(wnd, &rc);
    return SIZE{rc.right, rc.bottom};
}

// What the screen shows of a window's client area, as 0xRRGGBB pixels.
class ScreenPixels {
public:
    explicit ScreenPixels(HWND wnd) : size_(ClientSize(wnd)), canvas_(size_.cx, size_.cy) {
        POINT origin = {0, 0};
        ClientToScreen(wnd, &origin);
        HDC screen = GetDC(nullptr);
        BitBlt(canvas_.dc(), 0, 0, size_.cx, size_.cy, screen, origin.x, origin.y, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    DWORD rgb(int x, int y) const { return canvas_.rgb(x, y); }
    int width() const { return size_.cx; }
    int height() const { return size_.cy; }

private:
    SIZE size_;
    PixelCanvas canvas_;
};

// The first point of the window's client area (row by row) that shows the colour, or
// (-1, -1).
inline POINT FindColour(HWND wnd, DWORD rgb) {
    const ScreenPixels screen(wnd);
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if (screen.rgb(x, y) == rgb) return POINT{x, y};
        }
    }
    return POINT{-1, -1};
}

}  // namespace ProgramDriver
