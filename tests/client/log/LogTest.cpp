#include <windows.h>
#include <io.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AppPaths.h"
#include "Log.h"
#include "StderrCapture.h"

namespace {

std::string TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "client-log-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool IsTime(const std::string& line) {
    if (line.size() < 8 || line[2] != ':' || line[5] != ':') return false;
    for (int i : {0, 1, 3, 4, 6, 7}) {
        if (line[i] < '0' || line[i] > '9') return false;
    }
    return true;
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_dataFolder = TempFolder();
        DeleteFileA(GetLogFilePath().c_str());
    }
    void TearDown() override {
        CloseLogFile();
        g_logSink = LogStderrSink;
    }
};

TEST_F(LogTest, PathIsTheDataFolderWithLogTxt) {
    EXPECT_EQ(g_dataFolder + "\\log.txt", GetLogFilePath());
}

TEST_F(LogTest, FileLinesCarryTimeLevelInFiveColumnsAndAColon) {
    ASSERT_TRUE(OpenLogFile(GetLogFilePath()));
    EXPECT_EQ(g_logSink, &LogFileSink);
    // "宠物" (pets) in GBK: log texts are written byte for byte.
    for (int level = 0; level <= 5; ++level) LogWrite(level, __FILE__, __LINE__, "m%d \xb3\xe8\xce\xef", level);
    CloseLogFile();
    const std::vector<std::string> lines = Lines(ReadFile(GetLogFilePath()));
    const char* const expected[] = {" TRACE :m0 ", " DEBUG :m1 ", " INFO  :m2 ", " WARN  :m3 ", " ERROR :m4 ", " FATAL :m5 "};
    ASSERT_EQ(6u, lines.size());
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(IsTime(lines[i])) << lines[i];
        EXPECT_EQ(std::string(expected[i]) + "\xb3\xe8\xce\xef", lines[i].substr(8));
    }
    EXPECT_EQ('\n', ReadFile(GetLogFilePath()).back());
}

TEST_F(LogTest, StandardErrorLinesHaveTwoBlanksInsteadOfTheColon) {
    StderrCapture capture(g_dataFolder + "stderr.txt");
    LogWrite(LOG_WARN, __FILE__, __LINE__, "before %s", "open");
    ASSERT_TRUE(OpenLogFile(GetLogFilePath()));
    LogWrite(LOG_INFO, __FILE__, __LINE__, "in the file");
    CloseLogFile();
    LogWrite(LOG_ERROR, __FILE__, __LINE__, "after close");
    const std::vector<std::string> lines = Lines(capture.Take());
    ASSERT_EQ(2u, lines.size());
    EXPECT_TRUE(IsTime(lines[0]));
    EXPECT_EQ(" WARN   before open", lines[0].substr(8));
    EXPECT_EQ(" ERROR  after close", lines[1].substr(8));
    EXPECT_EQ(1u, Lines(ReadFile(GetLogFilePath())).size());
}

TEST_F(LogTest, ANewRunAppendsToTheExistingFile) {
    std::ofstream(GetLogFilePath(), std::ios::binary) << "earlier run\n";
    for (const char* text : {"first", "second"}) {
        ASSERT_TRUE(OpenLogFile(GetLogFilePath()));
        LogWrite(LOG_INFO, __FILE__, __LINE__, "%s", text);
        CloseLogFile();
    }
    const std::vector<std::string> lines = Lines(ReadFile(GetLogFilePath()));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("earlier run", lines[0]);
    EXPECT_EQ(" INFO  :first", lines[1].substr(8));
    EXPECT_EQ(" INFO  :second", lines[2].substr(8));
}

TEST_F(LogTest, AFileThatCannotOpenLeavesStandardError) {
    EXPECT_FALSE(OpenLogFile(g_dataFolder + "missing\\folder\\log.txt"));
    EXPECT_EQ(g_logSink, &LogStderrSink);
    EXPECT_EQ(nullptr, g_logFile);
    CloseLogFile();
    EXPECT_EQ(g_logSink, &LogStderrSink);
}

TEST_F(LogTest, ANullSinkSilencesLogging) {
    StderrCapture capture(g_dataFolder + "stderr-null.txt");
    g_logSink = nullptr;
    LogWrite(LOG_FATAL, __FILE__, __LINE__, "dropped");
    EXPECT_EQ("", capture.Take());
}

// Lines reach both places whatever the scheduler does: the close waits until every writer
// has written a line, and each writer writes on until it has seen the close end (pausing
// after its share if the close comes late), then once more.
TEST_F(LogTest, LinesFromOtherThreadsWhileTheLogClosesGoWholeToTheFileOrStandardError) {
    StderrCapture capture(g_dataFolder + "stderr-threads.txt");
    ASSERT_TRUE(OpenLogFile(GetLogFilePath()));
    const int kThreads = 4, kLines = 400;
    std::atomic<int> started{0};
    std::atomic<bool> closed{false};
    std::vector<int> written(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &started, &closed, &written] {
            int n = 0;
            LogWrite(LOG_INFO, __FILE__, __LINE__, "t%d n%d", t, n++);
            ++started;
            while (n < kLines && !closed) LogWrite(LOG_INFO, __FILE__, __LINE__, "t%d n%d", t, n++);
            while (!closed) std::this_thread::yield();
            LogWrite(LOG_INFO, __FILE__, __LINE__, "t%d n%d", t, n++);
            written[t] = n;
        });
    }
    while (started < kThreads) std::this_thread::yield();
    CloseLogFile();
    closed = true;
    for (auto& t : threads) t.join();

    const std::vector<std::string> fileLines = Lines(ReadFile(GetLogFilePath()));
    const std::vector<std::string> errLines = Lines(capture.Take());
    EXPECT_FALSE(fileLines.empty());
    EXPECT_FALSE(errLines.empty());
    std::vector<int> next(kThreads, 0);
    auto check = [&next](const std::string& line, const char* separator) {
        ASSERT_TRUE(IsTime(line)) << line;
        ASSERT_EQ(std::string(" INFO  ") + separator, line.substr(8, 8)) << line;
        int t = -1, n = -1;
        ASSERT_EQ(2, sscanf(line.c_str() + 16, "t%d n%d", &t, &n)) << line;
        ASSERT_TRUE(t >= 0 && t < 4);
        EXPECT_EQ(next[t]++, n);
    };
    for (const auto& line : fileLines) check(line, ":");
    for (const auto& line : errLines) check(line, " ");
    size_t total = 0;
    for (int n : written) total += static_cast<size_t>(n);
    EXPECT_EQ(total, fileLines.size() + errLines.size());
}

}  // namespace
