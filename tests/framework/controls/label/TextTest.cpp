#include <NotifyUI.h>
#include <UIText.h>

#include <string>
#include <vector>

#include "LabelKit.h"

using namespace HiveUI;

namespace {

// A text control whose link rectangles the test can see.
class OpenText : public CTextUI {
public:
    RECT Link(int i) const { return m_links[i]; }
    int LinkCount() const { return m_linkCount; }
};

class Sink : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override { seen.push_back(std::wstring(msg.sType) + std::to_wstring(msg.wParam)); }
    std::vector<std::wstring> seen;
};

class TextControl : public LabelTest {
protected:
    void SetUp() override {
        LabelTest::SetUp();
        manager_.AddNotifier(&sink_);
        Place(text_, RECT{0, 0, 300, 60});
        text_.SetFont(0);
        text_.SetShowHtml(true);
    }
    void Paint() {
        Canvas canvas(300, 60, 0xFFFFFFFF);
        text_.Paint(canvas.dc(), RECT{0, 0, 300, 60}, nullptr);
    }
    void Send(int type, POINT pt) {
        TEventInfo event;
        event.Type = type;
        event.ptMouse = pt;
        text_.Event(event);
    }
    static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    Sink sink_;
    OpenText text_;
};

TEST_F(TextControl, AClickOnALinkSendsItsIndexAndNothingElseDoes) {
    text_.SetText(L"<a one>first</a> and <a two>second</a>");
    Paint();
    ASSERT_EQ(2, text_.LinkCount());
    EXPECT_EQ(UIFLAG_SETCURSOR, text_.GetControlFlags());
    Send(UIEVENT_BUTTONUP, Centre(text_.Link(1)));
    Send(UIEVENT_BUTTONUP, Centre(text_.Link(0)));
    Send(UIEVENT_BUTTONUP, POINT{Centre(text_.Link(1)).x, 50});
    EXPECT_EQ((std::vector<std::wstring>{L"link1", L"link0"}), sink_.seen);
    text_.SetEnabled(false);
    Send(UIEVENT_BUTTONUP, Centre(text_.Link(0)));
    EXPECT_EQ(2u, sink_.seen.size());
    EXPECT_EQ(0u, text_.GetControlFlags());
}

TEST_F(TextControl, ANinthLinkIsDrawnButCannotBeClicked) {
    text_.SetAttribute(L"textpadding", L"0,0,0,0");
    std::wstring text;
    for (int i = 0; i < 9; ++i) text += L"<a " + std::to_wstring(i) + L">W</a> ";
    text_.SetText(text.c_str());
    Canvas canvas(300, 60, 0xFFFFFFFF);
    text_.Paint(canvas.dc(), RECT{0, 0, 300, 60}, nullptr);
    ASSERT_EQ(CTextUI::kMaxLinks, text_.LinkCount());
    for (int i = 0; i < CTextUI::kMaxLinks; ++i) Send(UIEVENT_BUTTONUP, Centre(text_.Link(i)));
    const RECT ink = InkBox(canvas);
    Send(UIEVENT_BUTTONUP, POINT{ink.right - 3, Centre(text_.Link(0)).y});
    ASSERT_EQ(8u, sink_.seen.size());
    EXPECT_EQ(L"link7", sink_.seen.back());
    EXPECT_GT(ink.right, text_.Link(7).right + 5);
}

TEST_F(TextControl, PlainTextHasNoLinksAndAutoWidthFollowsTheText) {
    text_.SetText(L"<a one>first</a>");
    Paint();
    ASSERT_EQ(1, text_.LinkCount());
    text_.SetShowHtml(false);
    Paint();
    EXPECT_EQ(0, text_.LinkCount());
    Send(UIEVENT_BUTTONUP, Centre(text_.Link(0)));
    EXPECT_TRUE(sink_.seen.empty());

    text_.SetShowHtml(true);
    text_.SetText(L"Hello <b>world</b>");
    text_.SetAutoCalcWidth(true);
    CTextUI plain;
    Place(plain, RECT{0, 0, 10, 10});
    plain.SetFont(0);
    plain.SetText(L"Hello world");
    plain.SetAutoCalcWidth(true);
    EXPECT_EQ(TextSize(L"Hello world").cx + 4, plain.EstimateSize(SIZE{300, 60}).cx);
    EXPECT_GT(text_.EstimateSize(SIZE{300, 60}).cx, plain.EstimateSize(SIZE{300, 60}).cx);
}

}  // namespace
