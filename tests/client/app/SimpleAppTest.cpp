#include <gtest/gtest.h>

#include "SimpleApp.h"

namespace {

TEST(SimpleApp, AppendsTheSixSwitchesInOrderForEveryProcessType) {
    const char* const expected =
        "p.exe --touch-events=enabled --enable-npapi --disable-web-security --ppapi-flash-version=25.0.0.127 "
        "--ppapi-flash-path=ppflash\\25_0_0_127\\pepflashplayer32_25_0_0_127.dll "
        "--autoplay-policy=no-user-gesture-required";
    CefRefPtr<SimpleApp> app = new SimpleApp();
    for (const char* type : {"", "renderer", "gpu-process"}) {
        CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
        line->SetProgram("p.exe");
        app->OnBeforeCommandLineProcessing(type, line);
        EXPECT_EQ(expected, line->GetCommandLineString().ToString()) << type;
    }
}

TEST(SimpleApp, IsItsOwnRenderProcessHandlerAndHasNoOtherHandlers) {
    CefRefPtr<SimpleApp> app = new SimpleApp();
    EXPECT_TRUE(app->HasOneRef());
    CefRefPtr<CefRenderProcessHandler> handler = app->GetRenderProcessHandler();
    EXPECT_EQ(static_cast<CefRenderProcessHandler*>(app.get()), handler.get());
    EXPECT_FALSE(app->HasOneRef());
    EXPECT_EQ(nullptr, app->GetBrowserProcessHandler().get());
    EXPECT_EQ(nullptr, app->GetResourceBundleHandler().get());
}

}  // namespace
