// The update check's request and reply, and the installer download, against a loopback
// server that plays the update endpoint (reached as the HTTP proxy) and the package host.
#include "../../engine/common/LoopbackServer.h"  // winsock2.h must come before windows.h

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "HttpFunction.h"
#include "Log.h"
#include "UpdateCheck.h"

namespace {

std::vector<std::string> g_lines;

void CollectSink(int, const char*, int, const char* format, va_list args) {
    char text[1024];
    vsnprintf(text, sizeof(text), format, args);
    g_lines.push_back(text);
}

const char kEndpointPath[] = "http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index";

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_lines.clear();
        g_logSink = CollectSink;
        _putenv(("http_proxy=http://127.0.0.1:" + std::to_string(server.Port())).c_str());
        // The package host is reached directly.
        _putenv("no_proxy=127.0.0.1");
        file = std::string(getenv("TEMP")) + "\\update-test.exe";
        DeleteFileA(file.c_str());
    }
    void TearDown() override { g_logSink = LogStderrSink; }

    void Answer(int status, const std::string& body) {
        LoopbackServer::Reply reply;
        reply.status = status;
        reply.body = body;
        server.Serve(kEndpointPath, reply);
    }

    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    LoopbackServer server;
    std::string file;
};

std::string Offer(const std::string& version) {
    return "{\"Result\":0,\"Data\":{\"version_id\":" + version + ",\"downloadlink\":\"http://h/u.exe\"}}";
}

TEST_F(UpdateCheckTest, TheRequestIsAFormPostOfActTallyhive) {
    Answer(200, Offer("\"4.0\""));
    std::string reply = "left over";
    EXPECT_TRUE(HttpPostUpdateRequest(reply));
    EXPECT_EQ(Offer("\"4.0\""), reply);
    const std::string request = server.LastRequest();
    EXPECT_EQ(0u, request.find(std::string("POST ") + kEndpointPath + " HTTP/1.1\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("Content-Length: 13\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("application/x-www-form-urlencoded")) << request;
}

TEST_F(UpdateCheckTest, OnlyANewerVersionIsOffered) {
    const struct {
        const char* version;
        bool newer;
    } cases[] = {{"4.01", true}, {"10", true}, {"4.0", false}, {"3.9", false}, {"4.0.1", false}, {"x5", false}};
    for (const auto& c : cases) {
        Answer(200, Offer(std::string("\"") + c.version + "\""));
        UpdateOffer offer;
        EXPECT_EQ(c.newer, CheckForUpdate(offer)) << c.version;
        EXPECT_EQ(c.version, offer.version);
        EXPECT_EQ("http://h/u.exe", offer.link);
    }
    EXPECT_TRUE(g_lines.empty());
}

TEST_F(UpdateCheckTest, EachUnusableReplyLogsItsReason) {
    const std::string notObject = "UPDATEGET_URL \xB7\xB5\xBB\xD8\xB7\xC7json\xB6\xD4\xCF\xF3\xA3\xA1";
    const std::string failed = "UPDATEGET_URL \xC7\xEB\xC7\xF3\xCA\xA7\xB0\xDC\xA3\xA1";
    const struct {
        int status;
        std::string body;
        std::string line;
    } cases[] = {
        {200, Offer("4.1"), "UPDATEGET_URL \xB7\xB5\xBB\xD8json Data\xC3\xBB\xD3\xD0version_id\xA3\xA1"},
        {200, "{\"Result\":1,\"Data\":{\"version_id\":\"9\",\"downloadlink\":\"http://h/u.exe\"}}",
         "UPDATEGET_URL result_code !=0\xA3\xA1"},
        {200, "{\"Result\":0}", "UPDATEGET_URL \xB7\xB5\xBB\xD8json \xC3\xBB\xD3\xD0" "Data{}\xA3\xA1"},
        {200, "{\"Data\":{}}", "UPDATEGET_URL \xB7\xB5\xBB\xD8 \xC3\xBB\xD3\xD0Result\xA3\xA1"},
        {200, "{\"Result\":0,\"Data\":{\"version_id\":\"9\"}}",
         "UPDATEGET_URL \xB7\xB5\xBB\xD8json \xC3\xBB\xD3\xD0" "downloadlink\xA3\xA1"},
        {200, "no update today", notObject},
        {200, "<html><body>maintenance</body></html>", notObject},
        {200, std::string(60000, '['), notObject},
        {500, Offer("\"9\""), failed},
        {301, Offer("\"9\""), failed},
        // Past the bound on the reply's size.
        {200, std::string(kMaxUpdateReplyBytes + 1, ' ') + Offer("\"9\""), failed},
        {200, std::string(100000, '['), failed},
    };
    for (const auto& c : cases) {
        g_lines.clear();
        Answer(c.status, c.body);
        UpdateOffer offer;
        EXPECT_FALSE(CheckForUpdate(offer)) << c.body.substr(0, 80);
        EXPECT_EQ(std::vector<std::string>{c.line}, g_lines) << c.body.substr(0, 80);
    }
    // An endpoint that keeps the client waiting past the 5 s the check allows.
    LoopbackServer::Reply late;
    late.never = true;
    server.Serve(kEndpointPath, late);
    g_lines.clear();
    UpdateOffer offer;
    EXPECT_FALSE(CheckForUpdate(offer));
    EXPECT_EQ(std::vector<std::string>{failed}, g_lines);
}

TEST_F(UpdateCheckTest, DownloadWritesTheFileAndReportsProgress) {
    LoopbackServer::Reply package;
    package.body = std::string(300000, 'z');
    server.Serve("/pkg.exe", package);
    std::vector<int> reports;
    DownloadContext context;
    EXPECT_TRUE(HttpDownloadPogress([&](int percent) { reports.push_back(percent); }, server.Url("/pkg.exe"), file,
                                    context));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(100, reports.back());
    EXPECT_NE(CURL_SOCKET_BAD, context.socket);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(300000u, data.nFileSizeLow);
    DeleteFileA(file.c_str());
}

TEST_F(UpdateCheckTest, FailedRefusedOrCancelledDownloadsLeaveNoFile) {
    LoopbackServer::Reply silent;
    silent.never = true;
    server.Serve("/slow.exe", silent);
    const std::string links[] = {server.Url("/missing.exe"), "file:///C:/windows/win.ini", server.Url("/slow.exe")};
    for (const std::string& link : links) {
        DownloadContext context;
        // The cancel comes once the server holds the link's request, so the transfer is under
        // way and has received nothing; a link that fails by itself ends the wait.
        std::atomic<bool> ended{false};
        const size_t asked = server.Requests().size();
        std::thread cancel([&] {
            while (!ended && server.Requests().size() == asked) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            context.cancel = true;
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(HttpDownloadPogress([](int) {}, link, file, context)) << link;
        ended = true;
        cancel.join();
        // A cancel stops even a transfer that has sent nothing, long before its time-out.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << link;
        EXPECT_FALSE(Exists(file)) << link;
    }
}

}  // namespace
