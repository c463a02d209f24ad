#include <ControlFactory.h>
#include <UIControl.h>

#include <functional>
#include <memory>

#include "BuilderKit.h"

using namespace HiveUI;

namespace {

class BuilderWindow : public testing::Test {
protected:
    void SetUp() override {
        wnd_ = CreateBuilderWindow();
        ASSERT_NE(nullptr, wnd_);
        manager_.Init(wnd_);
    }
    void TearDown() override { DestroyWindow(wnd_); }

    HWND wnd_ = nullptr;
    CPaintManagerUI manager_;
};

TEST_F(BuilderWindow, WindowAttributesReachTheManagerWithTheirValueSyntax) {
    struct Case {
        const wchar_t* attributes;
        std::function<bool(CPaintManagerUI&)> check;
    };
    const Case cases[] = {
        {L"size=\"800\"", [](CPaintManagerUI& m) { return m.GetInitSize().cx == 800 && m.GetInitSize().cy == 0; }},
        {L"size=\"800,600\"", [](CPaintManagerUI& m) { return m.GetInitSize().cx == 800 && m.GetInitSize().cy == 600; }},
        {L"SIZE=\"640, 480\"", [](CPaintManagerUI& m) { return m.GetInitSize().cx == 640 && m.GetInitSize().cy == 480; }},
        {L"sizebox=\"1,2,3,4\"", [](CPaintManagerUI& m) { const RECT r = m.GetSizeBox(); return r.left == 1 && r.top == 2 && r.right == 3 && r.bottom == 4; }},
        {L"Caption=\"0,0,0,32\"", [](CPaintManagerUI& m) { return m.GetCaptionRect().bottom == 32; }},
        {L"roundcorner=\"5x6\"", [](CPaintManagerUI& m) { return m.GetRoundCorner().cx == 5 && m.GetRoundCorner().cy == 6; }},
        {L"mininfo=\"100,50\" maxinfo=\",70\"", [](CPaintManagerUI& m) { return m.GetMinInfo().cy == 50 && m.GetMaxInfo().cx == 0 && m.GetMaxInfo().cy == 70; }},
        {L"showdirty=\"TRUE\"", [](CPaintManagerUI& m) { return m.IsShowUpdateRect(); }},
        {L"alpha=\"200\"", [](CPaintManagerUI& m) { return m.GetOpacity() == 200; }},
        {L"Opacity=\"120\"", [](CPaintManagerUI& m) { return m.GetOpacity() == 120; }},
        {L"layeredopacity=\"90\"", [](CPaintManagerUI& m) { return m.GetOpacity() == 90; }},
        {L"LayeredOpacity=\"90\"", [](CPaintManagerUI& m) { return m.GetOpacity() == 255; }},
        {L"layered=\"true\"", [](CPaintManagerUI& m) { return m.IsLayered(); }},
        {L"Layered=\"true\"", [](CPaintManagerUI& m) { return !m.IsLayered(); }},
        {L"bktrans=\"true\"", [](CPaintManagerUI& m) { return m.IsLayered(); }},
        {L"BkTrans=\"true\"", [](CPaintManagerUI& m) { return !m.IsLayered(); }},
        {L"layeredimage=\"back.png\"", [](CPaintManagerUI& m) { return m.IsLayered() && m.GetLayeredImage() == L"back.png"; }},
        {L"LayeredImage=\"back.png\"", [](CPaintManagerUI& m) { return !m.IsLayered() && m.GetLayeredImage().IsEmpty(); }},
        {L"noactivate=\"true\"", [](CPaintManagerUI& m) { return m.IsNoActivate(); }},
        {L"NoActivate=\"true\"", [](CPaintManagerUI& m) { return !m.IsNoActivate(); }},
        {L"defaultfontcolor=\"#FF112233\"", [](CPaintManagerUI& m) { return m.GetDefaultFontColor() == 0xFF112233; }},
        {L"DefaultFontColor=\"FF445566\"", [](CPaintManagerUI& m) { return m.GetDefaultFontColor() == 0xFF445566; }},
        {L"disabledfontcolor=\"#00000\"", [](CPaintManagerUI& m) { return m.GetDefaultDisabledColor() == 0; }},
        {L"linkfontcolor=\"#FF0000FF\" linkhoverfontcolor=\"#FF00FF00\" selectedcolor=\"#FFABCDEF\"",
         [](CPaintManagerUI& m) {
             return m.GetDefaultLinkFontColor() == 0xFF0000FF && m.GetDefaultLinkHoverFontColor() == 0xFF00FF00 &&
                    m.GetDefaultSelectedBkColor() == 0xFFABCDEF;
         }},
        {L"tooltiphovertime=\"250\" gdiplustext=\"true\" textrenderinghint=\"3\"",
         [](CPaintManagerUI& m) { return m.GetHoverTime() == 250 && m.IsUseGdiplusText() && m.GetGdiplusTextRenderingHint() == 3; }},
        {L"shadowsize=\"6\" shadowposition=\"2,3\" shadowcorner=\"1,2,3,4\" showshadow=\"true\"",
         [](CPaintManagerUI& m) {
             CShadowUI* s = m.GetShadow();
             return s->GetSize() == 6 && s->GetPosition().x == 2 && s->GetPosition().y == 3 &&
                    s->GetShadowCorner().right == 3 && s->IsShowShadow();
         }},
        {L"unknown=\"1\"", [](CPaintManagerUI& m) { return m.GetInitSize().cx == 0 && m.GetOpacity() == 255; }},
    };
    for (const Case& c : cases) {
        HWND wnd = CreateBuilderWindow();
        CPaintManagerUI manager;
        manager.Init(wnd);
        const std::wstring xml = std::wstring(L"<Window ") + c.attributes + L"><Control/></Window>";
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(xml.c_str(), nullptr, nullptr, &manager));
        EXPECT_NE(nullptr, root);
        EXPECT_TRUE(c.check(manager)) << Narrow(c.attributes);
        DestroyWindow(wnd);
    }
}

TEST_F(BuilderWindow, ResourceElementsRegisterBeforeControlsAndCreateNothing) {
    const wchar_t* xml =
        L"<Window>"
        L"<Control name=\"first\" bkcolor=\"warm\" />"
        L"<Style name=\"warm\" value=\"bkcolor=&quot;#FFFF8000&quot;\" />"
        L"<Default name=\"Control\" value=\"tooltip=&quot;from default&quot; name=&quot;nameless&quot;\" />"
        L"<Image name=\"inside\"><Control name=\"never\" /></Image>"
        L"<Font name=\"Tahoma\" size=\"17\" default=\"true\" />"
        L"</Window>";
    const CUIString faceBefore = manager_.GetDefaultFontInfo()->faceName;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(xml, nullptr, nullptr, &manager_));
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"first", root->GetName().GetData());
    EXPECT_STREQ(L"from default", root->GetToolTip().GetData());
    EXPECT_EQ(0xFFFF8000u, root->GetBkColor());
    EXPECT_STREQ(L"bkcolor=\"#FFFF8000\"", manager_.GetStyle(L"warm"));
    EXPECT_STREQ(faceBefore.GetData(), manager_.GetDefaultFontInfo()->faceName.GetData());
    // Detached again: the tree is given its manager when it is attached.
    EXPECT_EQ(nullptr, root->GetManager());
}

TEST_F(BuilderWindow, ADefaultListGoesFirstAndTheElementsOwnAttributesOverrideIt) {
    RecordingCallback callback;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(
        L"<Window><Default name=\"Recorder\" value=\"name=&quot;default&quot; width=&quot;10&quot;\"/>"
        L"<Recorder width=\"20\" name=\"own\"/></Window>",
        nullptr, &callback, &manager_));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ((std::vector<std::wstring>{L"name=default", L"width=10", L"width=20", L"name=own"}), callback.log);
    EXPECT_STREQ(L"own", root->GetName().GetData());
    EXPECT_EQ(20, root->GetFixedWidth());
}

TEST(Builder, WindowSettingsNeedAWindowButResourcesDoNot) {
    CPaintManagerUI manager;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(
        builder.Create(L"<Window size=\"800,600\"><Style name=\"s\" value=\"x\"/><Control/></Window>", nullptr, nullptr,
                       &manager));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(0, manager.GetInitSize().cx);
    EXPECT_STREQ(L"x", manager.GetStyle(L"s"));
}

}  // namespace
