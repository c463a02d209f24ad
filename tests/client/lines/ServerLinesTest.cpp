#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ServerLines.h"
#include "SettingsFile.h"

namespace {

std::string ConfigPath() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "client-lines-" + std::to_string(GetCurrentProcessId()) + ".ini";
}

void WriteConfig(const char* contents) {
    if (contents == nullptr) {
        DeleteFileA(ConfigPath().c_str());
        return;
    }
    std::ofstream(ConfigPath(), std::ios::binary) << contents;
}

TEST(ServerLines, TheOneDefaultLineIsThereBeforeTheProgramRuns) {
    ASSERT_EQ(1u, g_lines.lines.size());
    EXPECT_EQ(0, g_lines.selected);
    // "线路" (line) in GBK.
    EXPECT_EQ("\xcf\xdf\xc2\xb7", g_lines.lines[0].name);
    const std::string& url = g_lines.lines[0].url;
    EXPECT_EQ(0u, url.find("http://"));
    EXPECT_NE(std::string::npos, url.find(".example/#/login?operators_id=1"));
    EXPECT_EQ(url.size() - std::string("/#/login?operators_id=1").size(), url.find("/#/"));
}

TEST(ServerLines, MakeLineInfoCopiesBothTexts) {
    std::string name = "n", url = "u";
    const LineInfo line = MakeLineInfo(name, url);
    name = "changed";
    EXPECT_EQ("n", line.name);
    EXPECT_EQ("u", line.url);
}

TEST(ServerLines, WithOneLineEveryIndexButZeroIsIgnored) {
    for (int index : {-1, 1, 2, 1000, INT_MIN}) {
        SetSelectedLine(index);
        EXPECT_EQ(0, g_lines.selected) << index;
    }
    SetSelectedLine(0);
    EXPECT_EQ(0, g_lines.selected);
}

// Three lines, so that an ignored value can be told from a value read as 0.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_lines.lines.push_back(MakeLineInfo("b", "http://b.example/"));
        g_lines.lines.push_back(MakeLineInfo("c", "http://c.example/"));
    }
    void TearDown() override {
        g_lines.lines.resize(1);
        g_lines.selected = 0;
        DeleteFileA(ConfigPath().c_str());
    }
};

struct ReadCase {
    const char* contents;  // null: no file
    int before;
    int after;
};

const ReadCase kReads[] = {
    {"[LINES]\r\nSELECT_INDEX=2\r\n", 0, 2},
    {"[LINES]\r\nSELECT_INDEX=0\r\n", 2, 0},
    {"[LINES]\r\nSELECT_INDEX=1\r\n", 0, 1},
    {"[LINES]\r\nSELECT_INDEX=-1\r\n", 1, 1},
    {"[LINES]\r\nSELECT_INDEX=3\r\n", 1, 1},
    {"[LINES]\r\nSELECT_INDEX=5\r\n", 2, 2},
    {"[LINES]\r\nSELECT_INDEX=abc\r\n", 1, 0},
    {"[LINES]\r\nOTHER=2\r\n", 1, 0},
    {"[OTHER]\r\nSELECT_INDEX=2\r\n", 1, 0},
    {nullptr, 2, 0},
};

TEST_F(SettingsFileTest, StartUpReadTakesOnlyAnIndexThatNamesALine) {
    for (const ReadCase& c : kReads) {
        WriteConfig(c.contents);
        g_lines.selected = c.before;
        LoadSelectedLine(ConfigPath());
        EXPECT_EQ(c.after, g_lines.selected) << (c.contents ? c.contents : "(no file)");
    }
}

TEST_F(SettingsFileTest, ShutdownWriteStoresTheSelectionAsDecimalText) {
    WriteConfig(nullptr);
    SetSelectedLine(2);
    StoreSelectedLine(ConfigPath());
    char value[16] = {};
    GetPrivateProfileStringA("LINES", "SELECT_INDEX", "", value, sizeof(value), ConfigPath().c_str());
    EXPECT_STREQ("2", value);
    g_lines.selected = 0;
    LoadSelectedLine(ConfigPath());
    EXPECT_EQ(2, g_lines.selected);
}

}  // namespace
