#include <UIControl.h>
#include <UIVerticalLayout.h>

#include <memory>

#include "BuilderKit.h"

using namespace HiveUI;

namespace {

// Skin files of one test in a folder of their own, which becomes the skin folder.
class SkinFolder : public testing::Test {
protected:
    void SetUp() override {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = TestFiles::TempFolder() + std::wstring(info->name(), info->name() + strlen(info->name())) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        CPaintManagerUI::SetResourcePath(folder_.c_str());
    }
    void Write(const wchar_t* name, const std::string& xml) { ASSERT_TRUE(TestFiles::Write(folder_ + name, xml)); }

    std::wstring folder_;
};

TEST_F(SkinFolder, AnIncludeWithCountThreeAddsItsControlsThreeTimesInOrder) {
    Write(L"pair.xml", "<Items><Control name=\"a\"/><Control name=\"b\"/></Items>");
    Write(L"main.xml",
          "<Window><VerticalLayout name=\"root\"><Control name=\"before\"/>"
          "<Include source=\"pair.xml\" count=\"3\"/><Include count=\"2\"/><Include/>"
          "<Control name=\"after\"/></VerticalLayout></Window>");
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(L"main.xml"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ((std::vector<std::wstring>{L"before", L"a", L"b", L"a", L"b", L"a", L"b", L"after"}),
              ChildNames(root.get()));
}

// The lines the process writes to the debugger while one build runs.
class DebugLines {
public:
    DebugLines() { handler_ = AddVectoredExceptionHandler(1, Catch); }
    ~DebugLines() { RemoveVectoredExceptionHandler(handler_); }
    static std::string& Text() {
        static std::string text;
        return text;
    }

private:
    static LONG CALLBACK Catch(EXCEPTION_POINTERS* info) {
        const EXCEPTION_RECORD* r = info->ExceptionRecord;
        if (r->ExceptionCode != DBG_PRINTEXCEPTION_C || r->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
        Text() += reinterpret_cast<const char*>(r->ExceptionInformation[1]);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    void* handler_;
};

TEST_F(SkinFolder, IncludeCopiesBeyondTheBoundAreLeftOutAndSaidSo) {
    Write(L"pair.xml", "<Items><Control name=\"a\"/><Control name=\"b\"/></Items>");
    Write(L"rows.xml", "<Items><Include source=\"pair.xml\" count=\"40\"/></Items>");
    const struct {
        const char* main;
        size_t children;
        const char* said;
    } cases[] = {
        {"<Include source=\"pair.xml\" count=\"1000000\"/>", 2 * CDialogBuilder::kMaxIncludeCopies,
         "Include of \"pair.xml\" asks for 1000000 copies; 200 built"},
        // 40 copies of rows.xml would make 40 x 40 pairs: the 40 rows and the pairs of
        // the first four exhaust the bound.
        {"<Include source=\"rows.xml\" count=\"40\"/>", 2 * 4 * 40, "Include of \"pair.xml\" asks for 40 copies; 0 built"},
        {"<Include source=\"pair.xml\" count=\"200\"/>", 400, ""},
    };
    for (const auto& c : cases) {
        Write(L"main.xml", std::string("<Window><VerticalLayout>") + c.main + "</VerticalLayout></Window>");
        DebugLines::Text().clear();
        DebugLines lines;
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(L"main.xml"));
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(c.children, ChildNames(root.get()).size()) << c.main;
        EXPECT_EQ(*c.said == 0, DebugLines::Text().empty()) << DebugLines::Text();
        EXPECT_NE(std::string::npos, DebugLines::Text().find(c.said)) << DebugLines::Text();
    }
}

TEST_F(SkinFolder, IncludesThatIncludeEachOtherAreRefusedOnTheSecondVisit) {
    Write(L"self.xml", "<Items><Control name=\"self\"/><Include source=\"SELF.xml\"/></Items>");
    Write(L"ping.xml", "<Items><Control name=\"ping\"/><Include source=\"pong.xml\"/></Items>");
    Write(L"pong.xml", "<Items><Control name=\"pong\"/><Include source=\"ping.xml\"/></Items>");
    Write(L"main.xml",
          "<Window><VerticalLayout><Include source=\"self.xml\"/><Include source=\"ping.xml\"/></VerticalLayout>"
          "</Window>");
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(L"main.xml"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ((std::vector<std::wstring>{L"self", L"ping", L"pong"}), ChildNames(root.get()));
}

TEST_F(SkinFolder, AMissingOrBrokenLayoutBuildsNothingAndKeepsTheParserMessage) {
    Write(L"broken.xml", "<Window><Control></Window>");
    CDialogBuilder missing;
    EXPECT_EQ(nullptr, missing.Create(L"absent.xml"));
    EXPECT_STRNE(L"", missing.GetMarkup()->GetLastErrorMessage());
    CDialogBuilder broken;
    EXPECT_EQ(nullptr, broken.Create(L"broken.xml"));
    EXPECT_STRNE(L"", broken.GetMarkup()->GetLastErrorMessage());
    CDialogBuilder empty;
    EXPECT_EQ(nullptr, empty.Create(L"<Window/>"));
}

TEST(Builder, UnknownElementsAreSkippedWithEverythingBelowThem) {
    RecordingCallback callback;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(
        L"<Window><VerticalLayout><Gizmo><Control name=\"lost\"/><Recorder/></Gizmo>"
        L"<control name=\"kept\"/><RECORDER name=\"rec\"/></VerticalLayout></Window>",
        nullptr, &callback));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ((std::vector<std::wstring>{L"kept", L"rec"}), ChildNames(root.get()));
    EXPECT_EQ((std::vector<std::wstring>{L"Gizmo", L"RECORDER"}), callback.asked);
}

CControlUI* MakeGadget(const wchar_t* name) {
    if (wcscmp(name, L"Gadget") != 0) return nullptr;
    CControlUI* control = new CControlUI;
    control->SetUserData(L"gadget");
    return control;
}

TEST(Builder, TheManagersCreatorListComesBeforeTheCallback) {
    CUIPtrArray* creators = CPaintManagerUI::GetControlCreators();
    creators->Add(reinterpret_cast<void*>(&MakeGadget));
    RecordingCallback callback;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(
        builder.Create(L"<Window><Gadget name=\"g\"/></Window>", nullptr, &callback));
    creators->Remove(creators->Find(reinterpret_cast<void*>(&MakeGadget)));
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"gadget", root->GetUserData().GetData());
    EXPECT_TRUE(callback.asked.empty());
}

TEST(Builder, AParentWithoutAContainerEndsThePass) {
    CControlUI parent;
    CDialogBuilder builder;
    EXPECT_EQ(nullptr, builder.Create(L"<Window><Control/><Control/></Window>", nullptr, nullptr, nullptr, &parent));
}

TEST(Builder, ControlsGoToTheGivenParentAndTheFirstIsTheResult) {
    CVerticalLayoutUI parent;
    CDialogBuilder builder;
    CControlUI* first = builder.Create(L"<Window><Control name=\"x\"/><Control name=\"y\"/></Window>", nullptr,
                                       nullptr, nullptr, &parent);
    EXPECT_EQ(parent.GetItemAt(0), first);
    EXPECT_EQ((std::vector<std::wstring>{L"x", L"y"}), ChildNames(&parent));
}

TEST(Builder, VeryDeepLayoutsAreCutOffInsteadOfOverflowingTheStack) {
    std::wstring xml = L"<Window>";
    const int depth = 900;
    for (int i = 0; i < depth; ++i) xml += L"<Container>";
    for (int i = 0; i < depth; ++i) xml += L"</Container>";
    xml += L"</Window>";
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(xml.c_str()));
    ASSERT_NE(nullptr, root);
    int levels = 1;
    for (CControlUI* at = root.get(); ChildNames(at).size() == 1; ++levels)
        at = static_cast<IContainerUI*>(at->GetInterface(L"IContainer"))->GetItemAt(0);
    EXPECT_EQ(CDialogBuilder::kMaxNesting, levels);
}

}  // namespace

#include <UIChildLayout.h>

namespace {

TEST_F(SkinFolder, AChildLayoutBuildsItsFileOnceWhenItJoinsAWindow) {
    Write(L"part.xml", "<Items><VerticalLayout name=\"part\"><Control name=\"inner\"/></VerticalLayout></Items>");
    Write(L"main.xml",
          "<Window><VerticalLayout><ChildLayout name=\"good\" xmlfile=\"part.xml\"/>"
          "<ChildLayout name=\"bad\" xmlfile=\"missing.xml\"/><ChildLayout name=\"none\"/></VerticalLayout></Window>");
    HWND wnd = CreateBuilderWindow();
    CPaintManagerUI manager;
    manager.Init(wnd);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"main.xml", nullptr, nullptr, &manager);
    ASSERT_NE(nullptr, root);
    auto* good = static_cast<CChildLayoutUI*>(manager.FindControl(L"good"));
    EXPECT_EQ(nullptr, good);
    ASSERT_TRUE(manager.AttachRoot(root));
    good = static_cast<CChildLayoutUI*>(manager.FindControl(L"good"));
    ASSERT_NE(nullptr, good);
    EXPECT_EQ((std::vector<std::wstring>{L"part"}), ChildNames(good));
    EXPECT_NE(nullptr, manager.FindControl(L"inner"));
    EXPECT_EQ(0, static_cast<CChildLayoutUI*>(manager.FindControl(L"bad"))->GetCount());
    EXPECT_EQ(0, static_cast<CChildLayoutUI*>(manager.FindControl(L"none"))->GetCount());
    // Handing the tree its manager again does not build the content twice.
    manager.InitControls(root);
    EXPECT_EQ(1, good->GetCount());
    DestroyWindow(wnd);
}

}  // namespace

namespace {

TEST(Builder, ControlsBuiltIntoALiveParentStayBoundToItsWindow) {
    HWND wnd = CreateBuilderWindow();
    CPaintManagerUI manager;
    manager.Init(wnd);
    CVerticalLayoutUI* live = new CVerticalLayoutUI;
    ASSERT_TRUE(manager.AttachRoot(live));
    CDialogBuilder builder;
    CControlUI* added = builder.Create(L"<Items><Control name=\"late\" tooltip=\"t\"/></Items>", nullptr, nullptr,
                                       &manager, live);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(&manager, added->GetManager());
    EXPECT_EQ(live, added->GetParent());
    DestroyWindow(wnd);
}

}  // namespace
