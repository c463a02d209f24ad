// The real tallyhive.exe against hosts that fail: the application host refusing, answering
// too slowly, answering 500, closing mid-response or sending a body without end, a page
// sending the window to local files, and the prompt host sending what is no MP3 or nothing
// at all, and the update host sending garbage. Throughout, the main window answers a sent
// message within a few seconds, and the client shows what it should: its own error page naming
// the failure, the server's own page for a 500, the page that stays, or a prompt that stays
// silent while later prompts still sound.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../common/ClientProgram.h"

#include <psapi.h>  // after windows.h

using namespace ClientProgram;
using namespace ProgramDriver;

namespace {

struct TAppHostFault {
    const char* name;
    LoopbackServer::Reply reply;
    bool refused;
    const char* shown;  // the error page's error text
};

class FaultRun : public ClientProgramTest {
protected:
    void StartWatched(const std::string& proxy) {
        Start(proxy);
        ASSERT_FALSE(HasFatalFailure());
        WatchOnceUp();
    }

    // A host that fails the line's page gets the client's error page in its place, with
    // the failure named; the loading animation gives way after its time-out all the same.
    void ExpectErrorPageFor(const TAppHostFault& fault) {
        SCOPED_TRACE(fault.name);
        server_.Serve(kLineUrl, fault.reply);
        StartWatched("127.0.0.1:" + std::to_string(fault.refused ? LoopbackServer::ClosedPort() : server_.Port()));
        if (HasFatalFailure()) return;
        EXPECT_NE(nullptr, WaitForPlacedBrowser());
        std::string page;
        const ULONGLONG began = GetTickCount64();
        EXPECT_TRUE(WaitUntil([&] { return !(page = ErrorPage()).empty() || !program_->Running(); }, 120000));
        if (!program_->Running()) {
            ADD_FAILURE() << "the client ended with " << program_->Wait(0);
            return;
        }
        std::printf("%s: error page after %llu ms\n", fault.name, GetTickCount64() - began);
        EXPECT_TRUE(Contains(page, fault.shown)) << page.substr(0, 2000);
        Sleep(1000);
        ExpectAnsweredThroughout(fault.name);
        peakWorkingSet_ = PeakWorkingSet();
        Quit();
    }

    // Under Wine the process's true high-water mark (PictureProgramTest.cpp says more).
    SIZE_T PeakWorkingSet() const {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        EXPECT_TRUE(GetProcessMemoryInfo(program_->Handle(), &counters, sizeof(counters)));
        return counters.PeakWorkingSetSize;
    }

    SIZE_T peakWorkingSet_ = 0;  // of the last run that showed the error page
};

LoopbackServer::Reply Never() {
    LoopbackServer::Reply reply;
    reply.never = true;
    return reply;
}

LoopbackServer::Reply CutOff() {
    LoopbackServer::Reply reply = Page("");
    reply.body += std::string(20000, 'x');
    reply.cut = true;
    return reply;
}

TEST_F(FaultRun, TheAppHostFailingShowsTheErrorPageAndTheWindowKeepsAnswering) {
    const TAppHostFault faults[] = {
        {"refused", {}, true, "-102 : ERR_CONNECTION_REFUSED"},
        {"closed mid-response", CutOff(), false, "-100 : ERR_CONNECTION_CLOSED"},
    };
    for (const TAppHostFault& fault : faults) {
        ExpectErrorPageFor(fault);
        if (HasFatalFailure()) return;
    }
}

// Beyond the engine's idle time-out of 30 s: a case of its own, so that its wait runs
// beside the other cases instead of after them.
TEST_F(FaultRun, TheAppHostNeverAnsweringShowsTheTimeOutAndTheWindowKeepsAnswering) {
    ExpectErrorPageFor({"never answers", Never(), false, "-7 : ERR_TIMED_OUT"});
}

// A page body past the engine's bound, declared (600 MB) or never ending, fails the load as
// too big: the client lives, shows its error page, and holds a small part of the body. A
// plain page's run peaks below 100 MiB.
TEST_F(FaultRun, AHostileBodyFailsTheLoadAndTheClientStaysSmall) {
    LoopbackServer::Reply large, endless;
    large.generated = 600000000;
    endless.endless = true;
    const TAppHostFault faults[] = {
        {"600 MB body", large, false, "-8 : ERR_FILE_TOO_BIG"},
        {"endless chunked body", endless, false, "-8 : ERR_FILE_TOO_BIG"},
    };
    // A run that ends the client fails its case; the next case still runs.
    for (const TAppHostFault& fault : faults) {
        ExpectErrorPageFor(fault);
        std::printf("%s: peak working set %lu KiB\n", fault.name, static_cast<unsigned long>(peakWorkingSet_ >> 10));
        EXPECT_LE(peakWorkingSet_, 256u << 20) << fault.name;
    }
}

// A page of another site that sends the window to a local file is refused it, as a browser
// refuses it: the console's line in cef.log, the page stays and nothing of the file is
// loaded; the client lives and its window answers.
TEST_F(FaultRun, AHostilePageIsRefusedLocalFiles) {
    const std::string foreign = "http://foreign-site.example/";
    for (const std::string local : {"file:///C:/windows/win.ini", "file:///Z:/dev/zero"}) {
        SCOPED_TRACE(local);
        server_.Serve(kLineUrl, Page("location.href = '" + foreign + "';"));
        server_.Serve(foreign, Page("location.href = '" + local + "';"));
        StartWatched("127.0.0.1:" + std::to_string(server_.Port()));
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_TRUE(WaitUntil([&] {
            return Contains(EngineLog(), "\"Not allowed to load local resource: " + local + "\", source: " + foreign);
        })) << EngineLog();
        EXPECT_TRUE(WaitUntil([&] {
            const auto lines = Trace();
            for (size_t i = 0; i < lines.size(); ++i) {
                if (Contains(lines[i], "load started id=1 url=" + foreign)) return Traced("load ended id=1 ", i);
            }
            return false;
        }));
        std::string lastLoad;
        for (const std::string& line : Trace()) {
            if (Contains(line, "load started id=1 ")) lastLoad = line;
            EXPECT_FALSE(Contains(line, local)) << line;
        }
        EXPECT_TRUE(Contains(lastLoad, "url=" + foreign)) << lastLoad;
        Sleep(1000);
        ExpectAnsweredThroughout(local.c_str());
        Quit();
    }
}

// A 500 is an answer: the server's own page shows, no error page.
TEST_F(FaultRun, AnAppHostAnswering500ShowsItsPage) {
    server_.Serve(kLineUrl, Page("console.warn('server page ran');", 500));
    StartWatched("127.0.0.1:" + std::to_string(server_.Port()));
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_NE(nullptr, WaitForPlacedBrowser());
    EXPECT_TRUE(WaitUntil([&] { return Traced("load ended id=1 status=500"); }));
    EXPECT_TRUE(WaitUntil([&] { return Contains(EngineLog(), "CONSOLE \"server page ran\""); }));
    Sleep(1000);
    EXPECT_TRUE(ErrorPage().empty());
    ExpectAnsweredThroughout("500");
    Quit();
}

// What is no MP3 is fetched, cached and not played: the decoder says why on standard
// error. A damaged prompt plays what it can; a good prompt after both still sounds.
TEST_F(FaultRun, ACorruptPromptStaysSilentAndLaterPromptsStillSound) {
    const std::string good = Mp3Fixture("m22.mp3");
    ASSERT_FALSE(good.empty());
    LoopbackServer::Reply text, damaged, fine;
    text.body = "<html><body>this prompt is gone</body></html>";
    damaged.body = good.substr(0, good.size() / 3) + std::string(good.size() / 3, '\x5a') + good.substr(2 * good.size() / 3);
    fine.body = good;
    const std::string host = "http://prompts.tallyhive.example/";
    server_.Serve(host + "text.mp3", text);
    server_.Serve(host + "damaged.mp3", damaged);
    server_.Serve(host + "fine.mp3", fine);
    server_.Serve(kLineUrl, Page("AppExtension.PlayMp3('" + host + "text.mp3');"));
    const std::wstring capture = FreshSoundCapture();
    StartWatched("127.0.0.1:" + std::to_string(server_.Port()));
    ASSERT_FALSE(HasFatalFailure());
    HWND browser = WaitForPlacedBrowser();
    ASSERT_NE(nullptr, browser);
    EXPECT_TRUE(WaitUntil([&] { return Contains(Errors(), "mpg123_open mpg123_getformat: "); }, 120000)) << Errors();
    EXPECT_FALSE(Audible(ReadAll(capture)));
    EXPECT_TRUE(Contains(Log(), "INFO  :PlayMP3::NewThreadPlayUrl " + host + "text.mp3")) << Log();

    server_.ServeOnce(kLineUrl, Page("AppExtension.PlayMp3('" + host + "damaged.mp3');"
                                     "AppExtension.PlayMp3('" + host + "fine.mp3');"));
    PressKey(browser, VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return Requests(host + "fine.mp3") == 1 && Requests(host + "damaged.mp3") == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return Audible(ReadAll(capture)); }, 120000)) << "nothing audible was played";
    ExpectAnsweredThroughout("corrupt prompt");
    Quit();
}

// An update host answering garbage: the check logs that the reply is no JSON object and
// offers nothing; the window stays and goes on answering.
TEST_F(FaultRun, AnUpdateHostSendingGarbageOffersNoUpdate) {
    const std::string update = "http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index";
    LoopbackServer::Reply garbage;
    garbage.body = std::string("\x89PNG\r\n\x1a\n\0\0{\"Result\":0,\"Data\":{\"version_id\":\"9.9\"", 30);
    server_.Serve(update, garbage);
    server_.Serve(kLineUrl, Page(""));
    StartWatched("127.0.0.1:" + std::to_string(server_.Port()));
    ASSERT_FALSE(HasFatalFailure());
    // "UPDATEGET_URL 返回非json对象！" in GBK
    EXPECT_TRUE(WaitUntil([&] {
        return Contains(Log(), "ERROR :UPDATEGET_URL \xB7\xB5\xBB\xD8\xB7\xC7json\xB6\xD4\xCF\xF3\xA3\xA1");
    })) << Log();
    bool asked = false;
    for (const auto& r : server_.Requests()) asked = asked || r == "POST " + update + " HTTP/1.1";
    EXPECT_TRUE(asked);
    Sleep(1000);
    EXPECT_EQ(nullptr, FindProcessWindow(L"DownloadUpdateFrame", program_->Id()));
    EXPECT_TRUE(IsWindowVisible(main_));
    ExpectAnsweredThroughout("update host sends garbage");
    Quit();
}

// A prompt host that never answers holds only its prompt's thread: the window answers,
// and a confirmed close still ends the client as a normal run does.
TEST_F(FaultRun, APromptHostThatNeverAnswersDoesNotHoldTheQuit) {
    const std::string url = "http://prompts.tallyhive.example/stuck.mp3";
    server_.Serve(url, Never());
    server_.Serve(kLineUrl, Page("AppExtension.PlayMp3('" + url + "');"));
    StartWatched("127.0.0.1:" + std::to_string(server_.Port()));
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(WaitUntil([&] { return Requests(url) == 1; }));
    Sleep(2000);
    ExpectAnsweredThroughout("prompt host never answers");
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ConfirmClose();
    EXPECT_EQ(1u, program_->Wait(60000));
}

}  // namespace
