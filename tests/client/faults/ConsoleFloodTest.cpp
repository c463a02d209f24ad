// The real tallyhive.exe under a page that floods the engine's log: a megabyte written to
// the console without pause, for 20 s. cef.log in the data folder stays within its bound
// and ends on the line that says it stopped; the window answers throughout and the client
// quits as a normal run does.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "../common/ClientProgram.h"

using namespace ClientProgram;
using namespace ProgramDriver;

namespace {

// The file's bound, and the line that reaches it with the stop line after it.
const ULONGLONG kBound = (8ull << 20) + 2 * 4096;

ULONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The file's last line, read from its end.
std::string LastLine(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary | std::ios::ate);
    const std::streamoff size = in.tellg();
    const std::streamoff from = size > 4096 ? size - 4096 : 0;
    std::string tail(static_cast<size_t>(size - from), '\0');
    in.seekg(from);
    in.read(&tail[0], static_cast<std::streamsize>(tail.size()));
    if (!tail.empty() && tail.back() == '\n') tail.pop_back();
    return tail.substr(tail.rfind('\n') + 1);
}

class ConsoleFlood : public ClientProgramTest {
protected:
    // A flooded log is not left to the runs that come after.
    void TearDown() override {
        DeleteFileW(CefLog().c_str());
        ClientProgramTest::TearDown();
    }
    static std::wstring CefLog() { return DataFolder() + L"cef.log"; }
};

TEST_F(ConsoleFlood, AMegabyteLoggedEveryTickKeepsCefLogWithinItsBound) {
    server_.Serve(kLineUrl, Page("var big = 'x'; while (big.length < 1048576) big += big;"
                                 "setInterval(function () { console.error(big); }, 0);"));
    Start("127.0.0.1:" + std::to_string(server_.Port()));
    ASSERT_FALSE(HasFatalFailure());
    WatchOnceUp();
    ASSERT_TRUE(WaitUntil([&] { return Traced("load ended id=1 status=200"); }));
    const ULONGLONG began = GetTickCount64();
    ULONGLONG size = 0;
    while (GetTickCount64() - began < 20000 && (size = FileSize(CefLog())) <= kBound) Sleep(250);
    std::printf("console flood: cef.log %llu bytes after %llu ms\n", size, GetTickCount64() - began);
    EXPECT_LE(size, kBound);
    if (size <= kBound) {
        std::string last;
        EXPECT_TRUE(WaitUntil([&] { return Contains(last = LastLine(CefLog()), "] log stopped: "); }, 180000))
            << last.substr(0, 200);
    }
    ExpectAnsweredThroughout("console flood");
    Quit();
    EXPECT_LE(FileSize(CefLog()), kBound);
}

}  // namespace
