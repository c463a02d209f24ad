// The colour palette in a real window: colours picked at known points, reported on
// release only; the field repainted for a new saturation; nothing drawn or broken before
// set-up; and its DC and bitmap released with it.
#include <UIColorPalette.h>

#include <string>
#include <vector>

#include "../../core/render/Canvas.h"
#include "../../core/routing/RoutingKit.h"

using namespace HiveUI;

namespace {

class PaletteProbe : public CColorPaletteUI {
public:
    HDC Dc() const { return m_memDc.Get(); }
    HBITMAP Bitmap() const { return m_bitmap.Get(); }
};

class Recorder : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override { seen.push_back(msg); }
    std::vector<TNotifyInfo> seen;
};

void Mouse(CControlUI* control, int type, POINT pt) {
    TEventInfo event;
    event.Type = type;
    event.ptMouse = pt;
    control->Event(event);
}

// A 360 x 210 palette at the window's origin: one field column per hue, field rows
// 0-199, the 10-pixel bar below.
class PaletteWindow : public testing::Test {
protected:
    void SetUp() override {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, host_.Create(nullptr, L"palette", WS_POPUP, 0, 0, 0, 400, 300));
        root_ = new TestBox;
        host_.manager.AttachRoot(root_);
        host_.manager.AddNotifier(&recorder_);
        palette_ = root_->Add(new CColorPaletteUI, RECT{0, 0, 360, 210});
    }
    void TearDown() override { DestroyWindow(host_.GetHWND()); }

    HostWnd host_;
    TestBox* root_ = nullptr;
    CColorPaletteUI* palette_ = nullptr;
    Recorder recorder_;
};

TEST_F(PaletteWindow, PickedColoursAreReportedOnReleaseOnly) {
    const struct {
        POINT down, move;
        DWORD colour;
    } cases[] = {
        {{0, 100}, {0, 100}, 0xFFFF0000},      // hue 0, lightness 100
        {{120, 100}, {120, 100}, 0xFF00FF00},  // hue 120
        {{0, 100}, {240, 100}, 0xFF0000FF},    // dragged to hue 240
        {{0, 50}, {0, 50}, 0xFFFF7F7F},        // lightness 150
        {{0, 205}, {-50, 205}, 0xFFBFBFBF},    // the bar dragged past its left end: grey
    };
    size_t reported = 0;
    for (const auto& c : cases) {
        Mouse(palette_, UIEVENT_BUTTONDOWN, c.down);
        Mouse(palette_, UIEVENT_MOUSEMOVE, c.move);
        EXPECT_EQ(reported, recorder_.seen.size()) << std::hex << c.colour;
        Mouse(palette_, UIEVENT_BUTTONUP, c.move);
        ASSERT_EQ(++reported, recorder_.seen.size());
        const TNotifyInfo& note = recorder_.seen.back();
        EXPECT_EQ(L"colorchanged", std::wstring(note.sType.GetData()));
        EXPECT_EQ(c.colour, static_cast<DWORD>(note.wParam));
        EXPECT_EQ(0, note.lParam);
        EXPECT_EQ(c.colour, palette_->GetSelectColor());
    }
    palette_->SetEnabled(false);
    Mouse(palette_, UIEVENT_BUTTONDOWN, POINT{120, 100});
    Mouse(palette_, UIEVENT_BUTTONUP, POINT{120, 100});
    EXPECT_EQ(reported, recorder_.seen.size()) << "a disabled palette reports nothing";
}

TEST_F(PaletteWindow, BarClickRedrawsTheFieldForTheNewSaturation) {
    Canvas before(360, 210), after(360, 210);
    palette_->Paint(before.dc(), RECT{0, 0, 360, 210}, nullptr);
    Mouse(palette_, UIEVENT_BUTTONDOWN, POINT{0, 205});
    Mouse(palette_, UIEVENT_BUTTONUP, POINT{0, 205});
    palette_->Paint(after.dc(), RECT{0, 0, 360, 210}, nullptr);
    // Row 100 shows lightness 99: blue at full saturation, grey at none.
    EXPECT_TRUE(ColourNear(0x0000FC, before.At(240, 100), 2));
    EXPECT_TRUE(ColourNear(0x7E7E7E, after.At(240, 100), 2));
    EXPECT_TRUE(ColourNear(0xFC0000, before.At(0, 100), 2));
    EXPECT_TRUE(ColourNear(0x7E7E7E, after.At(0, 100), 2));
}

TEST_F(PaletteWindow, KeysKeepTheirExactCaseAndTheBarItsLimit) {
    CColorPaletteUI palette;
    palette.SetAttribute(L"barheight", L"200");
    palette.SetAttribute(L"PalletHeight", L"50");
    EXPECT_EQ(150, palette.GetBarHeight());
    EXPECT_EQ(200, palette.GetPalletHeight());
    EXPECT_EQ(nullptr, palette.GetInterface(L"colorpalette"));
}

TEST_F(PaletteWindow, WithoutSetUpNothingIsDrawnAndNothingBreaks) {
    CColorPaletteUI palette;
    palette.SetPos(RECT{0, 0, 360, 210});
    palette.SetAttribute(L"thumbimage", L"thumb.png");
    Mouse(&palette, UIEVENT_BUTTONDOWN, POINT{10, 205});
    Mouse(&palette, UIEVENT_MOUSEMOVE, POINT{20, 205});
    Mouse(&palette, UIEVENT_BUTTONUP, POINT{20, 205});
    Canvas canvas(360, 210, 0xFF123456);
    palette.Paint(canvas.dc(), RECT{0, 0, 360, 210}, nullptr);
    EXPECT_EQ(0xFF123456u, canvas.At(180, 100));
    EXPECT_EQ(0xFF123456u, canvas.At(10, 205));
}

// Counted object by object: the system's per-process GDI count is not available here.
TEST_F(PaletteWindow, EachPaletteReleasesItsDcAndBitmap) {
    int kept = 0;
    for (int i = 0; i < 1000; ++i) {
        PaletteProbe* palette = new PaletteProbe;
        palette->SetManager(&host_.manager, root_, true);
        const HDC dc = palette->Dc();
        const HBITMAP bitmap = palette->Bitmap();
        ASSERT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(dc));
        ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
        palette->Init();
        ASSERT_EQ(dc, palette->Dc()) << "set up once";
        delete palette;
        if (GetObjectType(dc) != 0 || GetObjectType(bitmap) != 0) ++kept;
    }
    EXPECT_EQ(0, kept);
}

}  // namespace
