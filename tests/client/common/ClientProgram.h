// The real tallyhive.exe driven from outside, with the hosts it talks to (the line's web
// application, the update host, voice prompts) served by a loopback server of the test's
// own, reached through http_proxy. What the program leaves to be seen: its windows, the
// engine's trace of what it was asked, the client's log, the engine's log (where the
// page's console.warn lands), config.ini and its standard error.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../../engine/common/LoopbackServer.h"
#include "MainFrameMessages.h"
#include "ProgramDriver.h"
#include "TestFiles.h"

namespace ClientProgram {

const wchar_t kMainClass[] = L"TallyHiveMainFrameWnd";
const wchar_t kPanelClass[] = L"MessagePanleFrame";
const wchar_t kBrowserClass[] = L"TallyhiveBrowserWindow";
const std::string kLineUrl = "http://" TALLYHIVE_LINE_HOST "/";

using TestFiles::ReadAll;

inline std::wstring DataFolder() { return TestFiles::LocalAppDataFolder() + L"tallyhive\\"; }

inline std::wstring ConfigPath() { return DataFolder() + L"config.ini"; }

inline std::wstring StoredLine() {
    wchar_t index[8] = {};
    GetPrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"", index, 8, ConfigPath().c_str());
    return index;
}

inline std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// What a file that only grows gained after it held size bytes (all of it when it was
// emptied or replaced meanwhile).
inline std::string Since(const std::string& text, size_t size) { return size <= text.size() ? text.substr(size) : text; }

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The file that the sound device's output is captured in (TALLYHIVE_SOUND_CAPTURE, a Unix
// path), emptied.
inline std::wstring FreshSoundCapture() {
    const char* unix = getenv("TALLYHIVE_SOUND_CAPTURE");
    std::wstring capture = L"Z:" + Wide(unix != nullptr ? unix : "");
    for (wchar_t& c : capture) c = c == L'/' ? L'\\' : c;
    DeleteFileW(capture.c_str());
    return capture;
}

inline bool Audible(const std::string& pcm) { return pcm.find_first_not_of('\0') != std::string::npos; }

#ifdef TALLYHIVE_MP3_FIXTURES
// A test MP3 made by the build beside the test executable.
inline std::string Mp3Fixture(const char* name) {
    return ReadAll(ProgramDriver::BesideSelf(TALLYHIVE_MP3_FIXTURES "/") + Wide(name));
}
#endif

// A page of the line host: a title, a line of text and a script.
inline LoopbackServer::Reply Page(const std::string& script, int status = 200) {
    LoopbackServer::Reply page;
    page.status = status;
    page.body = "<title>Shop</title><p>shop</p><script>" + script + "</script>";
    return page;
}

class ClientProgramTest : public testing::Test {
protected:
    // Starts the program with its hosts behind proxy (host:port); loopback itself is
    // reached directly.
    void Start(const std::string& proxy) {
        Launch(proxy);
        main_ = ProgramDriver::WaitForWindow(kMainClass, program_->Id());
        ASSERT_NE(nullptr, main_);
    }
    void StartWithTheServer() { Start("127.0.0.1:" + std::to_string(server_.Port())); }

    // Starts the program as Start does, without waiting for its main window (an update
    // window comes in its place).
    void Launch(const std::string& proxy) {
        trace_ = TestFiles::TempFolder() + L"engine-trace.txt";
        errors_ = TestFiles::TempFolder() + L"client-stderr.txt";
        DeleteFileW(trace_.c_str());
        logSize_ = ReadAll(DataFolder() + L"log.txt").size();
        engineLogSize_ = ReadAll(DataFolder() + L"cef.log").size();
        SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", trace_.c_str());
        SetEnvironmentVariableW(L"http_proxy", Wide("http://" + proxy).c_str());
        SetEnvironmentVariableW(L"no_proxy", L"127.0.0.1");
        program_.reset(new ProgramDriver::Process(ProgramDriver::BesideSelf(TALLYHIVE_EXE_RELATIVE), L"", errors_));
        ASSERT_TRUE(program_->Started());
    }

    // Once the window has first painted its skin (its title bar in the theme colour), the
    // client is up: from then on its window must keep answering.
    void WatchOnceUp() {
        ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return ProgramDriver::ScreenPixels(main_).rgb(600, 15) == 0xFEFAE8; }));
        watch_.reset(new ProgramDriver::AnswerWatch(main_));
    }

    // The window kept answering; the figures go to the output for the record.
    void ExpectAnsweredThroughout(const char* run) {
        watch_->Stop();
        EXPECT_EQ(0u, watch_->Unanswered()) << "of " << watch_->Sent();
        std::printf("%s: %u messages sent, %u unanswered, slowest answer %lu ms (asked %lu ms after the client was up)\n",
                    run, watch_->Sent(), watch_->Unanswered(), static_cast<unsigned long>(watch_->SlowestMs()),
                    static_cast<unsigned long>(watch_->SlowestAtMs()));
    }

    void TearDown() override {
        SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", nullptr);
        SetEnvironmentVariableW(L"http_proxy", nullptr);
        SetEnvironmentVariableW(L"no_proxy", nullptr);
    }

    std::vector<std::string> Trace() const { return Lines(ReadAll(trace_)); }
    bool Traced(const std::string& part, size_t from = 0) const {
        const auto lines = Trace();
        for (size_t i = from; i < lines.size(); ++i) {
            if (Contains(lines[i], part)) return true;
        }
        return false;
    }
    std::string TraceSince(size_t from) const {
        std::string text;
        const auto lines = Trace();
        for (size_t i = from; i < lines.size(); ++i) text += lines[i] + "\n";
        return text;
    }
    // The page's dimming (show) or its end, run as the definition followed by the call.
    bool DimmingRun(bool show, size_t from) const {
        return Traced(std::string("bg.style.display=show?'':'none';}BG_Show(") + (show ? "true);" : "false);"), from);
    }

    // The settings window, opened by its title-bar button ("btn_setting", 36 wide, left of
    // the three 40-wide window buttons), or null. The window places its buttons when it
    // paints, so a click that comes right after a change of size may find the old places:
    // it is clicked again.
    HWND OpenSettings() {
        HWND settings = nullptr;
        ProgramDriver::WaitUntil([&] {
            ProgramDriver::ClickAt(main_, ProgramDriver::ClientSize(main_).cx - 138, 15);
            return ProgramDriver::WaitUntil(
                [&] { return (settings = ProgramDriver::FindProcessWindow(L"SettingFrame", program_->Id())) != nullptr; },
                5000);
        });
        return settings;
    }

    // The line list dropped down from the settings window's combo box (180 x 30 at 128,242)
    // once it shows the chosen line's name left of its triangle, or null.
    HWND DropLineList(HWND settings) {
        const auto nameShown = [&] {
            const ProgramDriver::ScreenPixels screen(settings);
            for (int y = 246; y < 268; ++y) {
                for (int x = 136; x < 270; ++x) {
                    if ((screen.rgb(x, y) & 0xFF) < 0x80) return true;
                }
            }
            return false;
        };
        HWND drop = nullptr;
        if (!ProgramDriver::WaitUntil(nameShown)) return nullptr;
        ProgramDriver::WaitUntil([&] {
            ProgramDriver::ClickAt(settings, 200, 257);
            return ProgramDriver::WaitUntil(
                [&] { return (drop = ProgramDriver::FindProcessWindow(L"ComboWnd", program_->Id())) != nullptr; }, 2000);
        });
        return drop;
    }

    // The client's log and the engine's log, as written since the start.
    std::string Log() const { return Since(ReadAll(DataFolder() + L"log.txt"), logSize_); }
    std::string EngineLog() const { return Since(ReadAll(DataFolder() + L"cef.log"), engineLogSize_); }
    std::string Errors() const { return ReadAll(errors_); }

    // The browser's window once it has been placed over the window's body.
    HWND PlacedBrowser() const {
        HWND browser = FindWindowExW(main_, nullptr, kBrowserClass, nullptr);
        RECT rect = {};
        if (browser == nullptr || !IsWindowVisible(browser) || !GetWindowRect(browser, &rect)) return nullptr;
        return rect.right - rect.left > 100 && rect.bottom - rect.top > 100 ? browser : nullptr;
    }
    HWND WaitForPlacedBrowser() {
        HWND browser = nullptr;
        ProgramDriver::WaitUntil([&] { return (browser = PlacedBrowser()) != nullptr; });
        return browser;
    }

    int Requests(const std::string& url) {
        int n = 0;
        for (const auto& r : server_.Requests()) n += r == "GET " + url + " HTTP/1.1";
        return n;
    }
    int LineRequests() { return Requests(kLineUrl); }

    // The error page text loaded for the line since trace record from: empty until then.
    std::string ErrorPage(size_t from = 0) const {
        std::string page;
        const auto lines = Trace();
        for (size_t i = from; i < lines.size(); ++i) {
            const size_t at = lines[i].find("LoadString id=1 url=" + kLineUrl);
            const size_t file = lines[i].find(" file=");
            if (at != std::string::npos && file != std::string::npos) page = ReadAll(Wide(lines[i].substr(file + 6)));
        }
        return page;
    }

    // Clicks the confirmation panel's OK button where the user sees it: the button is
    // placed when the panel first paints, and a busy machine may lose a click.
    void ConfirmClose() {
        HWND panel = ProgramDriver::WaitForWindow(kPanelClass, program_->Id());
        ASSERT_NE(nullptr, panel);
        ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return ProgramDriver::ScreenPixels(panel).rgb(134, 209) != 0xFFFFFF; }));
        EXPECT_TRUE(ProgramDriver::ClickUntilGone(panel, 134, 209));  // "btn_ok"
    }

    void Quit() {
        PostMessageW(main_, WM_COMMAND, kQuitCommand, 0);
        EXPECT_EQ(1u, program_->Wait(60000));
    }

    LoopbackServer server_;
    std::wstring trace_;
    std::wstring errors_;
    size_t logSize_ = 0;
    size_t engineLogSize_ = 0;
    std::unique_ptr<ProgramDriver::Process> program_;
    HWND main_ = nullptr;
    std::unique_ptr<ProgramDriver::AnswerWatch> watch_;
};

}  // namespace ClientProgram
