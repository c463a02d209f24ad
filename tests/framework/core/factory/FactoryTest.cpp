#include <ControlFactory.h>
#include <Delegate.h>
#include <UIControl.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace HiveUI;

namespace {

// Element name as a layout writes it, and the class name the new control answers.
struct Registered {
    const wchar_t* element;
    const wchar_t* className;
};

const Registered kRegistered[] = {
    {L"Control", L"ControlUI"},
    {L"Container", L"ContainerUI"},
    {L"Label", L"LabelUI"},
    {L"ScrollBar", L"ScrollBarUI"},
    {L"Text", L"TextUI"},
    {L"AnimationTabLayout", L"AnimationTabLayoutUI"},
    {L"ChildLayout", L"ChildLayoutUI"},
    {L"HorizontalLayout", L"HorizontalLayoutUI"},
    {L"TabLayout", L"TabLayoutUI"},
    {L"TileLayout", L"TileLayoutUI"},
    {L"VerticalLayout", L"VerticalLayoutUI"},
    {L"List", L"ListUI"},
    {L"ListHeader", L"ListHeaderUI"},
    {L"ListHeaderItem", L"ListHeaderItemUI"},
    {L"ListLabelElement", L"ListLabelElementUI"},
    {L"ListTextElement", L"ListTextElementUI"},
    {L"ListContainerElement", L"ListContainerElementUI"},
};

std::unique_ptr<CControlUI> Create(const std::wstring& className) {
    return std::unique_ptr<CControlUI>(CControlFactory::GetInstance()->CreateControl(className.c_str()));
}

TEST(ControlFactory, EveryRegisteredClassCreatesAControlOfThatClass) {
    for (const Registered& entry : kRegistered) {
        std::unique_ptr<CControlUI> control = Create(std::wstring(L"C") + entry.element + L"UI");
        ASSERT_NE(nullptr, control) << entry.element;
        EXPECT_STREQ(entry.className, control->GetClass()) << entry.element;
    }
}

TEST(ControlFactory, NamesMatchInAnyCaseAndUnknownNamesGiveNothing) {
    for (const wchar_t* name : {L"CVerticalLayoutUI", L"cverticallayoutui", L"CVERTICALLAYOUTUI"}) {
        std::unique_ptr<CControlUI> control = Create(name);
        ASSERT_NE(nullptr, control) << name;
        EXPECT_STREQ(L"VerticalLayoutUI", control->GetClass());
    }
    EXPECT_EQ(nullptr, Create(L"CNoSuchThingUI"));
    EXPECT_EQ(nullptr, Create(L"VerticalLayout"));
    EXPECT_EQ(nullptr, Create(L""));
}

class MarkedControl : public CControlUI {
public:
    const wchar_t* GetClass() const override { return L"MarkedUI"; }
};
CControlUI* CreateMarked() { return new MarkedControl; }
CControlUI* CreateOtherMarked() { return new CControlUI; }

TEST(ControlFactory, TheFirstRegistrationOfANameStays) {
    CControlFactory* factory = CControlFactory::GetInstance();
    factory->RegistControl(L"CControlUI", CreateMarked);
    EXPECT_STREQ(L"ControlUI", Create(L"CControlUI")->GetClass());
    factory->RegistControl(L"CMarkedUI", CreateMarked);
    factory->RegistControl(L"cmarkedui", CreateOtherMarked);
    factory->RegistControl(L"CNullUI", nullptr);
    EXPECT_STREQ(L"MarkedUI", Create(L"CMARKEDUI")->GetClass());
    EXPECT_EQ(nullptr, Create(L"CNullUI"));
}

TEST(ControlFactory, TerminationFreesTheFactoryAndANewOneStartsWithTheBuiltIns) {
    CControlFactory::GetInstance()->RegistControl(L"CGoneUI", CreateMarked);
    ASSERT_NE(nullptr, Create(L"CGoneUI"));
    CPaintManagerUI::Term();
    EXPECT_EQ(nullptr, Create(L"CGoneUI"));
    EXPECT_NE(nullptr, Create(L"CTabLayoutUI"));
}

// A receiver that records each call and answers as told.
class Receiver {
public:
    explicit Receiver(std::vector<int>& calls, int id, bool answer) : calls_(calls), id_(id), answer_(answer) {}
    bool Handle(void* param) {
        calls_.push_back(id_ * 100 + *static_cast<int*>(param));
        return answer_;
    }
    bool Other(void*) { return true; }

private:
    std::vector<int>& calls_;
    int id_;
    bool answer_;
};

TEST(EventSource, FiresInOrderAndStopsAtTheFirstFalse) {
    std::vector<int> calls;
    Receiver first(calls, 1, true);
    Receiver second(calls, 2, false);
    Receiver third(calls, 3, true);
    CEventSource source;
    EXPECT_FALSE(static_cast<bool>(source));
    int param = 7;
    EXPECT_TRUE(source(&param));
    EXPECT_TRUE(source += MakeDelegate(&first, &Receiver::Handle));
    EXPECT_TRUE(static_cast<bool>(source));
    source += MakeDelegate(&second, &Receiver::Handle);
    source += MakeDelegate(&third, &Receiver::Handle);
    EXPECT_FALSE(source(&param));
    EXPECT_EQ((std::vector<int>{107, 207}), calls);
}

TEST(EventSource, TheSameReceiverAndMemberSubscribeOnce) {
    std::vector<int> calls;
    Receiver receiver(calls, 1, true);
    Receiver another(calls, 2, true);
    CEventSource source;
    EXPECT_TRUE(source += MakeDelegate(&receiver, &Receiver::Handle));
    EXPECT_TRUE(source += MakeDelegate(&receiver, &Receiver::Handle));
    source += MakeDelegate(&receiver, &Receiver::Other);
    source += MakeDelegate(&another, &Receiver::Handle);
    int param = 1;
    EXPECT_TRUE(source(&param));
    EXPECT_EQ((std::vector<int>{101, 201}), calls);
    EXPECT_TRUE(MakeDelegate(&receiver, &Receiver::Handle).Equals(MakeDelegate(&receiver, &Receiver::Handle)));
    EXPECT_FALSE(MakeDelegate(&receiver, &Receiver::Handle).Equals(MakeDelegate(&receiver, &Receiver::Other)));
}

}  // namespace
