#include <ControlFactory.h>

#include <memory>

#include "HostKit.h"

using namespace HiveUI;

namespace {

TEST(EmbeddedObjectControls, LayoutsCreateThemByElementNameAndTheyAnswerTheirInterfaces) {
    struct Case {
        const wchar_t* className;
        const wchar_t* answers;
        const wchar_t* interfaceName;
        bool anyCase;
    };
    const Case cases[] = {
        {L"CActiveXUI", L"ActiveXUI", L"ActiveX", false},
        {L"CWebBrowserUI", L"WebBrowserUI", L"WebBrowser", true},
        {L"CFlashUI", L"Flash", L"Flash", true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CControlUI> control(CControlFactory::GetInstance()->CreateControl(c.className));
        ASSERT_NE(nullptr, control);
        EXPECT_STREQ(c.answers, control->GetClass());
        EXPECT_EQ(control.get(), control->GetInterface(c.interfaceName));
        EXPECT_EQ(control.get(), control->GetInterface(L"ActiveX"));
        std::wstring lower(c.interfaceName);
        for (wchar_t& ch : lower) ch = towlower(ch);
        EXPECT_EQ(c.anyCase ? control.get() : nullptr, control->GetInterface(lower.c_str())) << c.answers;
    }
}

// Creation happens while the skin is read when "delaycreate" (compared exactly) is
// not "true" before "clsid" comes.
TEST_F(ActiveXHost, DelayCreateOtherThanTrueCreatesWhenTheClassIsSet) {
    for (const wchar_t* delay : {L"false", L"TRUE", L"true"}) {
        CActiveXUI* control = new CActiveXUI;
        root_->Add(control, RECT{20, 20, 120, 80});
        control->SetAttribute(L"delaycreate", delay);
        control->SetAttribute(L"clsid", kTestClsidText);
        EXPECT_EQ(wcscmp(delay, L"true") != 0 ? 1 : 0, TestOleObject::live) << delay;
        Remove(control);
    }
}

}  // namespace
