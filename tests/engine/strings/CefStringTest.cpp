#include <gtest/gtest.h>

#include "include/cef_command_line.h"

namespace {

struct Conversion {
    const char* utf8;
    const wchar_t* utf16;
};

// "宠物店" (pet shop), "€" and a character outside the basic plane, which UTF-16 holds
// as a surrogate pair.
const Conversion kConversions[] = {
    {"", L""},
    {"tallyhive", L"tallyhive"},
    {"\xe5\xae\xa0\xe7\x89\xa9\xe5\xba\x97", L"\u5ba0\u7269\u5e97"},
    {"a\xe2\x82\xac" "b", L"a\u20acb"},
    {"\xf0\x9f\x90\xb6", L"\xd83d\xdc36"},
};

TEST(CefString, ConvertsBetweenUtf8AndUtf16BothWays) {
    for (const auto& c : kConversions) {
        const CefString fromUtf8(c.utf8);
        EXPECT_EQ(std::wstring(c.utf16), fromUtf8.ToWString()) << c.utf8;
        EXPECT_EQ(wcslen(c.utf16), fromUtf8.length());
        EXPECT_EQ(std::string(c.utf8), CefString(c.utf16).ToString());
        EXPECT_EQ(std::string(c.utf8), CefString(std::wstring(c.utf16)).ToString());
        EXPECT_EQ(0, wcscmp(c.utf16, fromUtf8.c_str()));
        EXPECT_EQ(*c.utf8 == '\0', fromUtf8.empty());
    }
}

TEST(CefString, InvalidUtf8BecomesReplacementCharacters) {
    const CefString s(std::string("a\xff" "b"));
    EXPECT_EQ(std::wstring(L"a\ufffdb"), s.ToWString());
}

TEST(CefString, ComparesByCodeUnitAndLength) {
    EXPECT_TRUE(CefString("abc") == CefString(L"abc"));
    EXPECT_TRUE(CefString("abc") != CefString("abd"));
    EXPECT_TRUE(CefString("ab") < CefString("abc"));
    EXPECT_TRUE(CefString("abd") > CefString("abc"));
    EXPECT_TRUE(CefString() == CefString(""));
    EXPECT_TRUE(CefString(L"\u5ba0") > CefString("z"));
}

TEST(CefString, AttachedStringWritesIntoTheRecordItWraps) {
    cef_string_t record = {nullptr, 0, nullptr};
    {
        CefString attached(&record);
        attached = "C:\\\xe5\xae\xa0\\";
    }
    ASSERT_NE(nullptr, record.str);
    EXPECT_EQ(std::wstring(L"C:\\\u5ba0\\"), std::wstring(record.str, record.length));
    CefString{&record} = L"x";
    EXPECT_EQ(std::wstring(L"x"), std::wstring(record.str, record.length));
    cef_string_utf16_clear(&record);
    EXPECT_EQ(nullptr, record.str);
}

TEST(CefString, CopiesAreIndependentAndSelfAssignmentKeepsTheText) {
    CefString a("one");
    CefString b(a);
    b = "two";
    EXPECT_EQ("one", a.ToString());
    a = a;
    EXPECT_EQ("one", a.ToString());
    a.clear();
    EXPECT_TRUE(a.empty());
    EXPECT_EQ("two", b.ToString());
}

TEST(CefSettings, CopyOwnsItsStrings) {
    CefSettings original;
    EXPECT_EQ(sizeof(cef_settings_t), original.size);
    CefString(&original.cache_path) = "C:\\cache\\";
    original.log_severity = LOGSEVERITY_WARNING;
    CefSettings copy(original);
    CefString(&original.cache_path) = "changed";
    EXPECT_EQ("C:\\cache\\", CefString(&copy.cache_path).ToString());
    EXPECT_EQ(LOGSEVERITY_WARNING, copy.log_severity);
    EXPECT_NE(original.cache_path.str, copy.cache_path.str);
}

class Counted : public CefBase {
public:
    explicit Counted(int* deletions) : deletions_(deletions) {}
    ~Counted() override { ++*deletions_; }

private:
    int* deletions_;
    IMPLEMENT_REFCOUNTING(Counted);
};

TEST(CefRefPtr, DeletesTheObjectWithTheLastReference) {
    int deletions = 0;
    {
        CefRefPtr<Counted> a = new Counted(&deletions);
        EXPECT_TRUE(a->HasOneRef());
        CefRefPtr<Counted> b = a;
        EXPECT_FALSE(a->HasOneRef());
        a = nullptr;
        EXPECT_EQ(0, deletions);
        b = b;
        EXPECT_EQ(0, deletions);
        CefRefPtr<Counted> c(std::move(b));
        EXPECT_EQ(nullptr, b.get());
        EXPECT_TRUE(c->HasOneRef());
    }
    EXPECT_EQ(1, deletions);
}

TEST(CefCommandLine, ParsesSwitchesValuesAndArguments) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->InitFromString(L"\"C:\\Program Files\\tallyhive.exe\" --type=renderer -Lang=zh /flag arg1 -- --not-a-switch");
    EXPECT_EQ(std::wstring(L"C:\\Program Files\\tallyhive.exe"), line->GetProgram().ToWString());
    EXPECT_TRUE(line->HasSwitch("type"));
    EXPECT_EQ("renderer", line->GetSwitchValue("type").ToString());
    EXPECT_EQ("zh", line->GetSwitchValue("lang").ToString());
    EXPECT_TRUE(line->HasSwitch("FLAG"));
    EXPECT_FALSE(line->HasSwitch("not-a-switch"));
    CefCommandLine::ArgumentList args;
    line->GetArguments(args);
    ASSERT_EQ(2u, args.size());
    EXPECT_EQ("arg1", args[0].ToString());
    EXPECT_EQ("--not-a-switch", args[1].ToString());
}

TEST(CefCommandLine, AppendedSwitchesKeepTheirOrderAndSurviveARoundTrip) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->SetProgram("a.exe");
    line->AppendSwitchWithValue("touch-events", "enabled");
    line->AppendSwitch("--disable-web-security");
    line->AppendSwitchWithValue("path", "C:\\a b\\c.dll");
    EXPECT_TRUE(line->HasSwitch("disable-web-security"));
    EXPECT_EQ(std::wstring(L"a.exe --touch-events=enabled --disable-web-security --path=\"C:\\a b\\c.dll\""),
              line->GetCommandLineString().ToWString());
    CefRefPtr<CefCommandLine> copy = CefCommandLine::CreateCommandLine();
    copy->InitFromString(line->GetCommandLineString());
    EXPECT_EQ("C:\\a b\\c.dll", copy->GetSwitchValue("path").ToString());
    EXPECT_EQ(line->GetCommandLineString(), copy->GetCommandLineString());
}

TEST(CefCommandLine, GlobalLineIsTheProcessCommandLine) {
    CefRefPtr<CefCommandLine> global = CefCommandLine::GetGlobalCommandLine();
    ASSERT_NE(nullptr, global.get());
    EXPECT_NE(std::wstring::npos, global->GetProgram().ToWString().find(L"engine_strings"));
    EXPECT_EQ(global.get(), CefCommandLine::GetGlobalCommandLine().get());
}

}  // namespace
