// The real tallyhive.exe showing a page of pictures whose data inflates far beyond the
// size they declare: the engine leaves them out as broken ones and shows the page, and
// the client's memory stays close to what the same page with real pictures takes; and a
// page that reloads itself with large pictures, whose memory stays within the engine's
// picture budget of what the reloading alone takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../common/ClientProgram.h"
#include "PngFile.h"

#include <psapi.h>  // after windows.h

using namespace ClientProgram;
using namespace ProgramDriver;

namespace {

const int kPictures = 16;
const int kSide = 20;  // as the page shows each picture
const DWORD kBox = 0x3366CC;
const DWORD kRed = 0xFF0000;
const int kReloads = 100;  // of the reloading page

class PictureRun : public ClientProgramTest {
protected:
    struct TRun {
        SIZE_T peakWorkingSet;
        SIZE_T peakPagefile;
        SIZE_T privateUsage;
        int redPixels;
        int leftOut;
    };

    // One client run showing the page with picture as each of its pictures.
    TRun Show(const std::string& picture, bool shown) {
        std::string page = "<title>Shop</title><body style=\"margin: 0\"><p>pictures</p>"
                           "<div style=\"background: #3366cc; height: 30px\"></div><div>";
        for (int i = 0; i < kPictures; ++i) {
            const std::string name = "p" + std::to_string(i) + ".png";
            page += "<img src=\"" + name + "\" width=" + std::to_string(kSide) + " height=" + std::to_string(kSide) + ">";
            LoopbackServer::Reply reply;
            reply.body = picture;
            server_.Serve(kLineUrl + name, reply);
        }
        LoopbackServer::Reply reply;
        reply.body = page + "</div><p>the end</p></body>";
        server_.Serve(kLineUrl, reply);
        TRun run = {};
        StartWithTheServer();
        if (HasFatalFailure()) return run;
        HWND browser = WaitForPlacedBrowser();
        EXPECT_NE(nullptr, browser);
        const auto leftOut = [&] {
            int n = 0;
            for (int i = 0; i < kPictures; ++i) n += Contains(EngineLog(), "p" + std::to_string(i) + ".png is not shown");
            return n;
        };
        const auto redPixels = [&] {
            const ScreenPixels screen(browser);
            int n = 0;
            for (int y = 0; y < screen.height(); ++y) {
                for (int x = 0; x < screen.width(); ++x) n += screen.rgb(x, y) == kRed;
            }
            return n;
        };
        // Every picture has been shown, or left out, once the page is painted with it.
        EXPECT_TRUE(WaitUntil([&] {
            return FindColour(browser, kBox).x >= 0 &&
                   (shown ? redPixels() == kPictures * kSide * kSide : leftOut() == kPictures);
        }, 120000));
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof(counters);
        EXPECT_TRUE(GetProcessMemoryInfo(program_->Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                         sizeof(counters)));
        run = {counters.PeakWorkingSetSize, counters.PeakPagefileUsage, counters.PrivateUsage, redPixels(), leftOut()};
        std::printf("%s: peak working set %lu KB, peak pagefile %lu KB, private %lu KB, red %d, left out %d\n",
                    shown ? "real pictures" : "inflating pictures", static_cast<unsigned long>(run.peakWorkingSet >> 10),
                    static_cast<unsigned long>(run.peakPagefile >> 10), static_cast<unsigned long>(run.privateUsage >> 10),
                    run.redPixels, run.leftOut);
        Quit();
        return run;
    }
};

TEST_F(PictureRun, PicturesThatInflateToAGigabyteAreLeftOutAndTakeNoMoreMemoryThanRealOnes) {
    const std::string red = TestPng::Solid(1, 1, 8, 2, std::string("\xFF\x00\x00", 3));
    // 1x1 declared, 1 GB of zeros inflated: about 1 MB.
    const std::string inflating = TestPng::Make(1, 1, 8, 2, TestPng::Deflated(std::string(1 << 20, '\0'), 1023));
    const TRun real = Show(red, true);
    if (HasFatalFailure()) return;
    const TRun hostile = Show(inflating, false);
    if (HasFatalFailure()) return;
    EXPECT_EQ(kPictures * kSide * kSide, real.redPixels);
    EXPECT_EQ(0, hostile.redPixels);
    EXPECT_EQ(kPictures, hostile.leftOut);
    // Under Wine the peak working set is the process's true high-water mark (private
    // bytes read 0, the pagefile figure is the current one). The hostile pictures' bodies
    // alone are 16 MB; each decoding may take a few MB more before it is refused.
    EXPECT_LE(hostile.peakWorkingSet, real.peakWorkingSet + (64u << 20));
}

// A page that reloads itself every 40 ms, each time asking for a picture whose decoding
// takes far more than the picture keeps: a large interlaced 16-bit one, or a real 1x1 one
// as the measure of what the reloading alone takes. One client run each.
class ReloadingRun : public ClientProgramTest {
protected:
    SIZE_T PeakWorkingSet(const std::string& picture, const char* run) {
        LoopbackServer::Reply reply;
        reply.body = picture;
        server_.Serve(kLineUrl + "picture.png", reply);
        reply.body = "<title>Shop</title><body><p>reloading</p><img src=\"picture.png\" width=20 height=20>"
                     "<script>setTimeout(function () { location.reload(); }, 40);</script></body>";
        server_.Serve(kLineUrl, reply);
        const int before = LineRequests();
        StartWithTheServer();
        if (HasFatalFailure()) return 0;
        EXPECT_TRUE(WaitUntil([&] { return LineRequests() - before >= kReloads; }, 300000));
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        EXPECT_TRUE(GetProcessMemoryInfo(program_->Handle(), &counters, sizeof(counters)));
        std::printf("%s, %d reloads: peak working set %lu KB\n", run, LineRequests() - before,
                    static_cast<unsigned long>(counters.PeakWorkingSetSize >> 10));
        Quit();
        return counters.PeakWorkingSetSize;
    }
};

TEST_F(ReloadingRun, APageThatReloadsItselfWithLargePicturesKeepsTheClientsMemoryBounded) {
    const SIZE_T small = PeakWorkingSet(TestPng::Solid(1, 1, 8, 2, std::string("\xFF\x00\x00", 3)), "a 1x1 picture");
    if (HasFatalFailure()) return;
    const SIZE_T large = PeakWorkingSet(
        TestPng::Solid(2048, 2048, 16, 6, std::string("\xFF\xFF\x00\x00\x00\x00\xFF\xFF", 8), true), "a large picture");
    if (HasFatalFailure()) return;
    // Each decode takes up to 128 MB. Those of the documents already replaced stop, and all
    // draw on the engine's one picture budget of 192 MB; before, each document had a budget
    // of its own, and its decode went on after it had gone.
    EXPECT_LE(large, small + (192u << 20));
}

}  // namespace
