// The real tallyhive.exe asks the update endpoint once at start (the test's loopback
// server, reached as the HTTP proxy) and logs why an answer brings no update.
#include "../../engine/common/LoopbackServer.h"  // winsock2.h must come before windows.h

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "MainFrameMessages.h"
#include "ProgramDriver.h"

using namespace ProgramDriver;

namespace {

std::string LogText() {
    char appData[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    std::ifstream in(std::string(appData) + "\\tallyhive\\log.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(UpdateProgram, AFailedCheckAtStartIsLoggedAndTheClientRunsOn) {
    LoopbackServer server;
    LoopbackServer::Reply broken;
    broken.status = 500;
    server.Serve("http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index", broken);
    _putenv(("http_proxy=http://127.0.0.1:" + std::to_string(server.Port())).c_str());
    const size_t logged = LogText().size();

    Process program(BesideSelf(TALLYHIVE_EXE_RELATIVE), L"");
    ASSERT_TRUE(program.Started());
    HWND main = WaitForWindow(L"TallyHiveMainFrameWnd", program.Id());
    ASSERT_NE(nullptr, main);
    // "UPDATEGET_URL 请求失败！" in GBK, as the log file holds it.
    const std::string line = "UPDATEGET_URL \xC7\xEB\xC7\xF3\xCA\xA7\xB0\xDC\xA3\xA1";
    EXPECT_TRUE(WaitUntil([&] { return LogText().find(line, logged) != std::string::npos; }, 60000));
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ("POST http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index HTTP/1.1", server.Requests()[0]);
    EXPECT_TRUE(IsWindowVisible(main));

    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_NE(STILL_ACTIVE, program.Wait(60000));
}

}  // namespace
