// The engine's declarations as the pinned generation has them, where a client written
// against one and built against the other would notice: checked when this file compiles,
// and by the engine_unqualified_disposition test, which builds it with the one fault that
// must not compile.
#include <windows.h>

#include <gtest/gtest.h>

#include <type_traits>

#include "include/cef_base.h"
#include "include/cef_life_span_handler.h"
#include "include/cef_request_handler.h"
#include "include/cef_values.h"

// This generation has no such transition type: the name must stay free.
constexpr int TT_AUTO_TOPLEVEL = 6;

namespace {

static_assert(std::is_same<CefRequestHandler::WindowOpenDisposition, cef_window_open_disposition_t>::value, "");
static_assert(std::is_same<decltype(&CefRequestHandler::OnOpenURLFromTab),
                           bool (CefRequestHandler::*)(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&,
                                                       CefRequestHandler::WindowOpenDisposition, bool)>::value,
              "");
static_assert(std::is_constructible<CefMainArgs, const cef_main_args_t&>::value &&
                  !std::is_convertible<const cef_main_args_t&, CefMainArgs>::value,
              "");
static_assert(std::is_constructible<CefMainArgs, const CefMainArgs&>::value &&
                  !std::is_convertible<const CefMainArgs&, CefMainArgs>::value,
              "");
static_assert(std::is_constructible<CefWindowInfo, const cef_window_info_t&>::value &&
                  !std::is_convertible<const cef_window_info_t&, CefWindowInfo>::value,
              "");
static_assert(std::is_same<decltype(&CefListValue::GetInt), int (CefListValue::*)(int)>::value, "");
static_assert(std::is_same<decltype(&CefListValue::SetString), bool (CefListValue::*)(int, const CefString&)>::value,
              "");

// A client of both handlers names the disposition through the one it overrides.
class BothHandlers : public CefLifeSpanHandler, public CefRequestHandler {
public:
#ifdef TALLYHIVE_UNQUALIFIED_DISPOSITION
    bool OnOpenURLFromTab(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&, WindowOpenDisposition,
                          bool) override {
        return true;
    }
#endif
    bool OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&, const CefString&,
                       CefLifeSpanHandler::WindowOpenDisposition, bool, const CefPopupFeatures&, CefWindowInfo&,
                       CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) override {
        return true;
    }
    IMPLEMENT_REFCOUNTING(BothHandlers);
};

// Code writes the macro with a semicolon after it or without one.
class WithoutSemicolon : public CefBase {
    IMPLEMENT_REFCOUNTING(WithoutSemicolon)
};

TEST(Declarations, TheRequestHandlerLeavesTabsToTheEngineUnlessOverridden) {
    CefRefPtr<BothHandlers> both = new BothHandlers();
    CefRefPtr<CefRequestHandler> handler = both.get();
    EXPECT_FALSE(handler->OnOpenURLFromTab(nullptr, nullptr, "http://a.example/", WOD_NEW_FOREGROUND_TAB, true));
    CefRefPtr<WithoutSemicolon> counted = new WithoutSemicolon();
    EXPECT_TRUE(counted->HasOneRef());
}

TEST(Declarations, AWindowInfoMadeFromTheRecordOwnsItsOwnName) {
    CefWindowInfo source;
    source.SetAsPopup(nullptr, "engine window");
    CefWindowInfo copy(static_cast<const cef_window_info_t&>(source));
    CefString(&source.window_name) = "changed";
    EXPECT_EQ("engine window", CefString(&copy.window_name).ToString());
    EXPECT_NE(source.window_name.str, copy.window_name.str);
    EXPECT_EQ(source.style, copy.style);
}

TEST(Declarations, AListRefusesNegativeIndexes) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    EXPECT_FALSE(list->SetInt(-1, 5));
    EXPECT_EQ(0u, list->GetSize());
    EXPECT_TRUE(list->SetInt(1, 5));
    EXPECT_EQ(VTYPE_INVALID, list->GetType(-1));
    EXPECT_FALSE(list->Remove(-1));
    EXPECT_EQ(5, list->GetInt(1));
}

}  // namespace
