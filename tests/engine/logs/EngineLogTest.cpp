// The engine's log file under a flood of long lines, as a page's console can send them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineLog.h"
#include "TestFiles.h"

namespace {

using engine::EngineLog;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        lines.push_back(text.substr(at, end - at));
    }
    return lines;
}

std::string Text(const std::string& line) { return line.substr(line.find("] ") + 2); }

// Far more written than the file holds: it stops within its bound on the line that says
// so, each line cut before a character of the text that would not fit whole; the lines
// kept for the developer tools stay within their size. The next run that opens the full
// file starts it again.
TEST(EngineLog, AFloodStopsTheFileAtItsBoundWithEachLineCut) {
    const std::wstring path = TestFiles::TempFolder() + L"flooded-cef.log";
    DeleteFileW(path.c_str());
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "\xE5\xAE\xA0";  // 3000 bytes; 2048 ends inside a character
    EngineLog::Open(path, LOGSEVERITY_WARNING);
    for (int i = 0; i < 5000; ++i) EngineLog::Write(LOGSEVERITY_ERROR, text);
    EngineLog::Close();

    const std::string written = TestFiles::ReadAll(path);
    EXPECT_LE(written.size(), (8u << 20) + 2 * 4096u);
    const std::vector<std::string> lines = Lines(written);
    ASSERT_GT(lines.size(), 1u);
    EXPECT_NE(std::string::npos, lines.back().find(":WARNING] log stopped: ")) << lines.back().substr(0, 200);
    size_t uncut = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i) uncut += Text(lines[i]) != text.substr(0, 2046);
    EXPECT_EQ(0u, uncut);
    size_t kept = 0;
    for (const std::string& line : EngineLog::RecentLines()) kept += line.size();
    EXPECT_GT(kept, 0u);
    EXPECT_LE(kept, 64u << 10);

    EngineLog::Open(path, LOGSEVERITY_WARNING);
    EngineLog::Write(LOGSEVERITY_WARNING, "next run");
    EngineLog::Close();
    const std::vector<std::string> again = Lines(TestFiles::ReadAll(path));
    ASSERT_EQ(1u, again.size());
    EXPECT_EQ("next run", Text(again[0]));
}

}  // namespace
