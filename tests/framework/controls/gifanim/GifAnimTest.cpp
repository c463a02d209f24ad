// Animated images from a skin zip in memory: frames and delays read from the image,
// the frame painted as ticks wrap and stopping or hiding rewinds, the real timer's pace.
#include <DialogBuilder.h>
#include <UIGifAnim.h>

#include <string>
#include <vector>

#include "../../core/render/Canvas.h"
#include "../../core/routing/RoutingKit.h"
#include "CrtHeapWatch.h"
#include "DecodeBudget.h"
#include "GifFile.h"
#include "ZipBuilder.h"

using namespace HiveUI;

namespace {

// Records when each frame tick arrived, then lets the animation handle it.
class GifProbe : public CGifAnimUI {
public:
    void DoEvent(TEventInfo& event) override {
        if (event.Type == UIEVENT_TIMER) ticks.push_back(Now());
        CGifAnimUI::DoEvent(event);
    }
    static double Now() {
        LARGE_INTEGER count, frequency;
        QueryPerformanceCounter(&count);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
    }
    std::vector<double> ticks;
};

class GifWindow : public testing::Test {
protected:
    static void SetUpTestSuite() {
        using TestGif::Make;
        s_archive = new std::string(TestZip::Build({
            TestZip::Make("anim/three.gif", Make(12, 8, {{0, 5}, {1, 0}, {2, 20}})),
            TestZip::Make("anim/plain.gif", Make(8, 8, {{2, -1}, {3, -1}})),
            TestZip::Make("anim/single.gif", Make(8, 8, {{1, 7}})),
            TestZip::Make("anim/clear.gif", Make(12, 8, {{3, 5, true}, {1, 5}})),
            TestZip::Make("anim/still.bmp", Bitmap(12, 8, 0x336699)),
            // 1024 x 1024 x 4 bytes a frame: 16 frames are the 64 MB an animation may take.
            TestZip::Make("anim/bound.gif", TestGif::Sparse(1024, 1024, 16)),
            TestZip::Make("anim/over.gif", TestGif::Sparse(1024, 1024, 17)),
            TestZip::Make("anim/overflow.gif", TestGif::Sparse(4096, 4096, 40)),  // past 2 GB
        }));
        // The archive reads from this block for the rest of the process.
        CPaintManagerUI::SetResourceZipFromMemory(s_archive->data(), static_cast<DWORD>(s_archive->size()), L"");
    }
    void SetUp() override {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, host_.Create(nullptr, L"gif", WS_POPUP, 0, 0, 0, 100, 100));
        root_ = new TestBox;
        host_.manager.AttachRoot(root_);
    }
    void TearDown() override { DestroyWindow(host_.GetHWND()); }

    GifProbe* Add(const wchar_t* image, bool autoPlay = true) {
        GifProbe* gif = new GifProbe;
        gif->SetAttribute(L"bkimage", image);
        gif->SetAttribute(L"AutoPlay", autoPlay ? L"TRUE" : L"false");
        return root_->Add(gif, RECT{0, 0, 12, 8});
    }
    static void Tick(CGifAnimUI* gif) {
        TEventInfo event;
        event.Type = UIEVENT_TIMER;
        event.wParam = CGifAnimUI::kTimerId;
        gif->Event(event);
    }
    // The colour in the middle of the painted control.
    static DWORD Shown(CGifAnimUI* gif) {
        Canvas canvas(12, 8, 0xFF000000);
        gif->Paint(canvas.dc(), RECT{0, 0, 12, 8}, nullptr);
        return canvas.At(6, 4) & 0xFFFFFF;
    }

    // A bottom-up 24-bit BMP of one colour (0xRRGGBB).
    static std::string Bitmap(int width, int height, DWORD rgb) {
        const int stride = (width * 3 + 3) & ~3;
        std::string bmp = "BM";
        TestGif::Put(bmp, {54 + stride * height, 0, 0, 0, 54, 0}, true);
        TestGif::Put(bmp, {40, 0, width, 0, height, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                TestGif::Put(bmp, {int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int(rgb >> 16)});
            }
            bmp.append(stride - width * 3, '\0');
        }
        return bmp;
    }

    static std::string* s_archive;
    HostWnd host_;
    TestBox* root_ = nullptr;
};

std::string* GifWindow::s_archive = nullptr;

TEST_F(GifWindow, FramesAndDelaysComeFromTheImage) {
    const struct {
        const wchar_t* image;
        bool autoPlay;
        UINT frames;
        std::vector<UINT> delays;
        bool playing;
        DWORD shown;
    } cases[] = {
        {L"anim/three.gif", true, 3, {50, 100, 200}, true, TestGif::kColours[0]},
        {L"anim/three.gif", false, 3, {50, 100, 200}, false, TestGif::kColours[0]},
        {L"anim/plain.gif", true, 2, {100, 100}, true, TestGif::kColours[2]},
        {L"anim/single.gif", true, 1, {100}, false, TestGif::kColours[1]},
        {L"anim/missing.gif", true, 0, {100}, false, 0},
    };
    for (const auto& c : cases) {
        CGifAnimUI* gif = Add(c.image, c.autoPlay);
        EXPECT_EQ(c.frames, gif->GetFrameCount()) << c.image;
        for (UINT frame = 0; frame < c.delays.size(); ++frame) {
            EXPECT_EQ(c.delays[frame], gif->GetFrameDelay(frame)) << c.image << " frame " << frame;
        }
        EXPECT_EQ(c.playing, gif->IsPlaying()) << c.image;
        EXPECT_EQ(c.shown, Shown(gif)) << c.image;
        gif->PlayGif();
        EXPECT_EQ(c.frames > 1, gif->IsPlaying()) << c.image;
    }
}

// The decoder holds every frame at the canvas's size at once: an animation whose frames
// would take more than an animation may is refused before it is decoded.
TEST_F(GifWindow, FramesBeyondTheMemoryBoundAreRefusedAndSmallAnimationsStillPlay) {
    const struct {
        const wchar_t* image;
        UINT frames;
    } cases[] = {
        {L"anim/three.gif", 3},
        {L"anim/bound.gif", 16},
        {L"anim/over.gif", 0},
        {L"anim/overflow.gif", 0},
    };
    for (const auto& c : cases) {
        CGifAnimUI* gif = Add(c.image);
        EXPECT_EQ(c.frames, gif->GetFrameCount()) << c.image;
        EXPECT_EQ(c.frames > 1, gif->IsPlaying()) << c.image;
    }
}

// A budget of the test's, around the control's own, holds the decode of every frame at
// once to room for the first one: the decode runs out of memory once the frames' delays
// exist, frees what it holds, the delays among them, and the control shows the first
// frame alone. The delays are freed once.
TEST_F(GifWindow, AnAnimationThatRunsOutOfMemoryShowsItsFirstFrameAndFreesItsDelaysOnce) {
    const size_t pixels = 12 * 8;
    // The decoder's three canvases (9 bytes a pixel), the first frame and its delay.
    const size_t firstFrame = 9 * pixels + 4 * pixels + sizeof(int);
    CrtHeapWatch heap;
    ASSERT_TRUE(heap.Watching());
    CGifAnimUI* gif = nullptr;
    {
        const DecodeBudget roomForOneFrame(firstFrame + 2 * pixels);
        gif = Add(L"anim/three.gif");
    }
    EXPECT_EQ(0, heap.DoubleFrees());
    EXPECT_FALSE(heap.Overflowed());
    EXPECT_EQ(1u, gif->GetFrameCount());
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(TestGif::kColours[0], Shown(gif));
}

// A frame's transparent colour shows what lies under the control; an image of another
// format shows as one still frame.
TEST_F(GifWindow, TransparentFramesAndStillImages) {
    const struct {
        const wchar_t* image;
        UINT frames;
        std::vector<DWORD> shown;
    } cases[] = {
        {L"anim/clear.gif", 2, {0x000000, TestGif::kColours[1]}},
        {L"anim/still.bmp", 1, {0x336699}},
    };
    for (const auto& c : cases) {
        CGifAnimUI* gif = Add(c.image);
        EXPECT_EQ(c.frames, gif->GetFrameCount()) << c.image;
        std::vector<DWORD> shown = {Shown(gif)};
        for (UINT frame = 1; frame < c.frames; ++frame) {
            Tick(gif);
            shown.push_back(Shown(gif));
        }
        EXPECT_EQ(c.shown, shown) << c.image;
    }
}

TEST_F(GifWindow, TicksWrapAndStoppingOrHidingRewindsToTheFirstFrame) {
    CGifAnimUI* gif = Add(L"anim/three.gif");
    std::vector<DWORD> shown = {Shown(gif)};
    for (int i = 0; i < 4; ++i) {
        Tick(gif);
        shown.push_back(Shown(gif));
    }
    const DWORD red = TestGif::kColours[0], green = TestGif::kColours[1], blue = TestGif::kColours[2];
    EXPECT_EQ((std::vector<DWORD>{red, green, blue, red, green}), shown);
    gif->StopGif();
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(red, Shown(gif));
    Tick(gif);
    EXPECT_EQ(0u, gif->GetCurrentFrame()) << "a late tick does not move a stopped animation";

    gif->PlayGif();
    Tick(gif);
    gif->SetVisible(false);
    EXPECT_EQ(0u, gif->GetCurrentFrame());
    EXPECT_FALSE(gif->IsPlaying());
    gif->SetVisible(true);
    EXPECT_TRUE(gif->IsPlaying());
}

// Each frame stays at least its own delay: 5 hundredths give 50 ms, 0 and a missing
// delay give 100 ms (a timer of 0 ms would tick far faster).
TEST_F(GifWindow, FramesWaitTheirDelaysOnTheRealTimer) {
    const struct {
        const wchar_t* image;
        std::vector<double> delays;
    } cases[] = {
        {L"anim/three.gif", {50, 100, 200}},
        {L"anim/plain.gif", {100, 100}},
    };
    for (const auto& c : cases) {
        const double start = GifProbe::Now();
        GifProbe* gif = Add(c.image);
        const size_t wanted = 2 * c.delays.size();
        while (gif->ticks.size() < wanted && GifProbe::Now() - start < 30000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
        gif->StopGif();
        ASSERT_GE(gif->ticks.size(), wanted) << c.image;
        double previous = start;
        for (size_t i = 0; i < wanted; ++i) {
            // Timers fire on the clock's ticks; a little early is still the same delay.
            const double minimum = 0.8 * c.delays[i % c.delays.size()];
            EXPECT_GE(gif->ticks[i] - previous, minimum) << c.image << " tick " << i;
            previous = gif->ticks[i];
        }
    }
}

// As the main window's skin uses it: an element of the layout, an image in the zip.
TEST_F(GifWindow, LayoutElementLoadsSizesAndPlaysTheImage) {
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"<Window><VerticalLayout><GifAnim name=\"loading\" bkimage=\"anim\\three.gif\" "
                                      L"autosize=\"true\"/></VerticalLayout></Window>",
                                      nullptr, nullptr, &host_.manager);
    ASSERT_NE(nullptr, root);
    host_.manager.AttachRoot(root);
    root_ = nullptr;
    auto* gif = static_cast<CGifAnimUI*>(host_.manager.FindControl(L"loading")->GetInterface(L"gifanim"));
    ASSERT_NE(nullptr, gif);
    EXPECT_EQ(3u, gif->GetFrameCount());
    EXPECT_EQ(12, gif->GetFixedWidth());
    EXPECT_EQ(8, gif->GetFixedHeight());
    EXPECT_TRUE(gif->IsPlaying());

    gif->SetPos(RECT{0, 0, 12, 8}, false);
    gif->SetBkImage(L"anim/plain.gif");
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(0u, gif->GetFrameCount()) << "the old image goes; the next paint loads the new one";
    EXPECT_EQ(TestGif::kColours[2], Shown(gif));
    EXPECT_EQ(2u, gif->GetFrameCount());
    EXPECT_TRUE(gif->IsPlaying());
}

}  // namespace
