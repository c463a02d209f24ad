// The real tallyhive.exe showing a line's page whose script grows without end: the
// script meets its heap's budget and ends with the script engine's out-of-memory error,
// the client stays far inside its address space and its window answers, and the page's
// later bridge call is still carried out.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../common/ClientProgram.h"

#include <psapi.h>  // after windows.h

using namespace ClientProgram;
using namespace ProgramDriver;

namespace {

class ScriptHeapRun : public ClientProgramTest {};

TEST_F(ScriptHeapRun, AScriptThatGrowsWithoutEndEndsAndThePageStillCallsTheBridge) {
    LoopbackServer::Reply page;
    page.body = "<title>Shop</title><p>shop</p>"
                "<script>var s = 'x', a = []; for (;;) { if (s.length < 16777216) s += s; a.push(s + a.length); }</script>"
                "<script>setTimeout(function () { AppExtension.ResizeWindow(800, 600); }, 0);</script>";
    server_.Serve(kLineUrl, page);
    StartWithTheServer();
    ASSERT_FALSE(HasFatalFailure());
    WatchOnceUp();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(WaitUntil([&] { return Contains(EngineLog(), "\"Uncaught Error: alloc failed\", source: " + kLineUrl); },
                          120000))
        << EngineLog();
    EXPECT_TRUE(WaitUntil([&] { return ClientSize(main_).cx == 800 && ClientSize(main_).cy == 600; }))
        << ClientSize(main_).cx << "x" << ClientSize(main_).cy;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    EXPECT_TRUE(GetProcessMemoryInfo(program_->Handle(), &counters, sizeof(counters)));
    // Under Wine the peak working set is the process's true high-water mark. A plain
    // page takes about 90 MiB, the script's heap at most its budget of 64 MiB, and a
    // string being made as much again.
    std::printf("growing script: peak working set %lu KB\n", static_cast<unsigned long>(counters.PeakWorkingSetSize >> 10));
    EXPECT_LE(counters.PeakWorkingSetSize, 320u << 20);
    ExpectAnsweredThroughout("growing script");
    Quit();
}

}  // namespace
