#include <XmlDocument.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "XmlTestSupport.h"

using HiveUI::CXmlDocument;
using HiveUI::CXmlNode;
using namespace XmlTest;

namespace {

const wchar_t kLayout[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    L"<!-- the main window -->\r\n"
    L"<Window size=\"800,600\" caption=\"0,0,0,30\">\r\n"
    L"  <VerticalLayout bkcolor=\"#FF00FF00\">\r\n"
    L"    <Button name=\"ok\" text=\"\x786E\x5B9A\"/>\r\n"
    L"    <Label text = \" a b \" ></Label>\r\n"
    L"  </VerticalLayout>\r\n"
    L"  <Font id=\"0\"/>\r\n"
    L"</Window>\r\n"
    L"<Second/>\r\n";

const wchar_t kLayoutTree[] =
    L"Window[size=800,600,caption=0,0,0,30]{VerticalLayout[bkcolor=#FF00FF00]{Button[name=ok,text=\x786E\x5B9A]"
    L"Label[text= a b ]}Font[id=0]}Second[]";

}  // namespace

TEST(XmlDocument, LayoutTreeWithSelfClosingTagsCommentsAndDeclaration) {
    CXmlDocument doc(kLayout);
    CXmlNode root = doc.GetRoot();
    ASSERT_TRUE(root.IsValid()) << doc.GetLastErrorMessage();
    EXPECT_EQ(kLayoutTree, Dump(root));
    CXmlNode layout = root.GetChild();
    EXPECT_TRUE(root.HasChildren());
    EXPECT_TRUE(layout.HasAttributes());
    CXmlNode button = layout.GetChild();
    EXPECT_FALSE(button.HasChildren());
    EXPECT_FALSE(button.GetChild().IsValid());
    EXPECT_FALSE(button.GetSibling().GetSibling().IsValid());
    EXPECT_STREQ(L"", button.GetAttributeName(5));
    EXPECT_STREQ(L"", button.GetAttributeValue(-1));
    CXmlNode second = root.GetSibling();
    EXPECT_FALSE(second.HasAttributes());
    EXPECT_FALSE(second.GetSibling().IsValid());
}

TEST(XmlDocument, EveryEncodingGivesTheSameTree) {
    const std::wstring text = kLayout;
    struct Case {
        const char* label;
        std::string bytes;
        int encoding;
        bool loads;
    } cases[] = {
        {"utf8", Utf8(text), 0, true},
        {"utf8 signature", "\xEF\xBB\xBF" + Utf8(text), 0, true},
        {"utf16 le", Utf16(text, false), 1, true},
        {"utf16 be", Utf16(text, true), 1, true},
        {"utf16 le odd byte", Utf16(text, false) + "\x20", 1, true},
        {"utf16 without mark", Utf16(text, false).substr(2), 1, false},
        {"utf16 one byte", "\xFF", 1, false},
        {"utf16 no bytes", "", 1, false},
        {"unknown encoding", Utf8(text), 3, false},
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        EXPECT_EQ(c.loads, doc.LoadFromMem(Bytes(c.bytes), Size(c.bytes), c.encoding)) << c.label;
        EXPECT_EQ(c.loads ? kLayoutTree : L"", Dump(doc.GetRoot())) << c.label;
    }
}

TEST(XmlDocument, AnsiTextUsesTheSystemCodePage) {
    ASSERT_EQ(936u, GetACP());
    // "<A t="中文"/>" in GBK
    const std::string gbk = "<A t=\"\xD6\xD0\xCE\xC4\"/>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromMem(Bytes(gbk), Size(gbk), 2));
    EXPECT_STREQ(L"\x4E2D\x6587", doc.GetRoot().GetAttributeValue(0));
    // The same bytes read as UTF-8 do not give the characters.
    ASSERT_TRUE(doc.LoadFromMem(Bytes(gbk), Size(gbk), 0));
    EXPECT_STRNE(L"\x4E2D\x6587", doc.GetRoot().GetAttributeValue(0));
}

TEST(XmlDocument, BigEndianTextInReadOnlyMemoryIsNotTouched) {
    const std::string bytes = Utf16(kLayout, true);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    BYTE* page = static_cast<BYTE*>(VirtualAlloc(nullptr, bytes.size() + info.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, page);
    memcpy(page, bytes.data(), bytes.size());
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(page, bytes.size(), PAGE_READONLY, &old));
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadFromMem(page, Size(bytes), 1));
    EXPECT_EQ(kLayoutTree, Dump(doc.GetRoot()));
    EXPECT_EQ(0, memcmp(page, bytes.data(), bytes.size()));
    VirtualFree(page, 0, MEM_RELEASE);
}

TEST(XmlDocument, InputEndingAtAPageBoundaryIsNotReadBeyond) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    BYTE* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, info.dwPageSize * 2, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, pages);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(pages + info.dwPageSize, info.dwPageSize, PAGE_NOACCESS, &old));
    for (const std::string& text : {std::string("<A b=\"c\"/>"), Utf16(L"<A b=\"c\"/>", true), std::string("<A b=\"")}) {
        for (int encoding : {0, 1, 2}) {
            BYTE* start = pages + info.dwPageSize - text.size();
            memcpy(start, text.data(), text.size());
            CXmlDocument doc;
            doc.LoadFromMem(start, Size(text), encoding);
        }
    }
    VirtualFree(pages, 0, MEM_RELEASE);
    SUCCEED();
}

TEST(XmlDocument, NamedEntitiesAreDecodedAndNumericReferencesKept) {
    CXmlDocument doc(L"<A v=\"&amp;&lt;&gt;&quot;&apos;\" n=\"&#65;&amp\" r=\"a&&amp;b&\" w=\"2\">x &lt; y</A>");
    CXmlNode a = doc.GetRoot();
    ASSERT_TRUE(a.IsValid()) << doc.GetLastErrorMessage();
    ASSERT_EQ(4, a.GetAttributeCount());
    EXPECT_STREQ(L"&<>\"'", a.GetAttributeValue(0));
    EXPECT_STREQ(L"&#65;&amp", a.GetAttributeValue(1));
    EXPECT_STREQ(L"a&&b&", a.GetAttributeValue(2));
    EXPECT_STREQ(L"w", a.GetAttributeName(3));
    EXPECT_STREQ(L"2", a.GetAttributeValue(3));
}

TEST(XmlDocument, OnlyTheFirst64AttributesAreVisible) {
    std::wstring text = L"<A";
    for (int i = 0; i < 65; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i * 3) + L"\"";
    text += L"><B/></A>";
    CXmlDocument doc(text.c_str());
    CXmlNode a = doc.GetRoot();
    ASSERT_EQ(64, a.GetAttributeCount());
    EXPECT_STREQ(L"a63", a.GetAttributeName(63));
    EXPECT_STREQ(L"189", a.GetAttributeValue(63));
    EXPECT_STREQ(L"", a.GetAttributeName(64));
    wchar_t value[8] = {};
    EXPECT_FALSE(a.GetAttributeValueByName(L"a64", value, 7));
    EXPECT_TRUE(a.GetChild().IsValid());
}

TEST(XmlDocument, AttributeLookupByNameIgnoresCaseAndAlwaysTerminates) {
    CXmlDocument doc(L"<Button Name=\"abcdef\" text=\"\"/>");
    CXmlNode node = doc.GetRoot();
    wchar_t value[8];
    wmemset(value, L'x', 8);
    ASSERT_TRUE(node.GetAttributeValueByName(L"NAME", value, 3));
    EXPECT_STREQ(L"abc", value);
    wmemset(value, L'x', 8);
    ASSERT_TRUE(node.GetAttributeValueByName(L"name", value, 7));
    EXPECT_STREQ(L"abcdef", value);
    ASSERT_TRUE(node.GetAttributeValueByName(L"TEXT", value, 7));
    EXPECT_STREQ(L"", value);
    EXPECT_FALSE(node.GetAttributeValueByName(L"tex", value, 7));
    CXmlNode invalid;
    EXPECT_FALSE(invalid.GetAttributeValueByName(L"name", value, 7));
    EXPECT_EQ(nullptr, invalid.GetName());
    EXPECT_EQ(nullptr, invalid.GetAttributeName(0));
    EXPECT_EQ(nullptr, invalid.GetAttributeValue(0));
    EXPECT_FALSE(invalid.HasChildren());
    EXPECT_EQ(0, invalid.GetAttributeCount());
}

TEST(XmlDocument, MalformedTextFailsWithItsMessage) {
    struct Case {
        const wchar_t* text;
        const wchar_t* message;
        const wchar_t* location;
    } cases[] = {
        {L"", L"Expected start tag", L""},
        {L" \r\n\t ", L"Expected start tag", L""},
        {L"<!-- nothing but a comment -->", L"Expected start tag", L""},
        {L"text", L"Expected start tag", L"text"},
        {L"<", L"Error parsing element name", L""},
        {L"<A><B", L"Error parsing element name", L""},
        {L"<A a=", L"Expected attribute value", L""},
        {L"<A a='1'/>", L"Expected attribute value", L"'1'/>"},
        {L"<A a=\"x", L"Error while parsing attribute string", L""},
        {L"<A a>", L"Error while parsing attributes", L">"},
        {L"<A x=\"1\" / >", L"Expected start-tag closing", L"/ >"},
        {L"<A></B>", L"Unmatched closing tag", L"B>"},
        {L"<A></A", L"Unmatched closing tag", L""},
        {L"<A></AB>", L"Unmatched closing tag", L"B>"},
        {L"<A><B><C>t", L"Expected end-tag start", L""},
        {L"<A><B></B>between<C/></A>", L"Expected start tag", L"between<C/></A>"},
        {L"<A/>tail", L"Expected start tag", L"tail"},
        {L"<A><B/>\x0001x", L"Expected start tag", L"x"},
    };
    for (const Case& c : cases) {
        CXmlDocument doc(L"<Old/>");
        EXPECT_FALSE(doc.Load(c.text)) << c.text;
        EXPECT_STREQ(c.message, doc.GetLastErrorMessage()) << c.text;
        EXPECT_STREQ(c.location, doc.GetLastErrorLocation()) << c.text;
        EXPECT_FALSE(doc.GetRoot().IsValid()) << c.text;
    }
}

TEST(XmlDocument, EndOfTextInsideTheRootIsAccepted) {
    // Text may end inside the root element or its direct children.
    for (const wchar_t* text : {L"<A/>  \r\n", L"<A>text", L"<A><B>", L"<A><B></B>"}) {
        CXmlDocument doc(text);
        EXPECT_TRUE(doc.GetRoot().IsValid()) << text;
    }
}

TEST(XmlDocument, NestingIsLimitedInsteadOfExhaustingTheStack) {
    auto nested = [](int depth) {
        std::wstring text;
        for (int i = 0; i < depth; ++i) text += L"<e>";
        for (int i = 0; i < depth; ++i) text += L"</e>";
        return text;
    };
    CXmlDocument doc;
    EXPECT_TRUE(doc.Load(nested(CXmlDocument::kMaxDepth).c_str()));
    CXmlNode node = doc.GetRoot();
    int depth = 0;
    for (; node.IsValid(); node = node.GetChild()) ++depth;
    EXPECT_EQ(CXmlDocument::kMaxDepth, depth);
    EXPECT_FALSE(doc.Load(nested(200000).c_str()));
    EXPECT_STREQ(L"Elements nested too deeply", doc.GetLastErrorMessage());
}

TEST(XmlDocument, SeededRandomAndTruncatedInputsNeverCrash) {
    const std::wstring alphabet = L"<>/=\"'&;!?- \t\r\nabAB:_1\x4E2D";
    const std::wstring layout = kLayout;
    std::mt19937 random(1234);
    int loaded = 0;
    auto exercise = [&](CXmlDocument& doc) {
        CXmlNode root = doc.GetRoot();
        if (!root.IsValid()) return;
        ++loaded;
        Dump(root);
        wchar_t value[4];
        root.GetAttributeValueByName(L"a", value, 3);
    };
    for (size_t length = 0; length <= layout.size(); ++length) {
        CXmlDocument doc;
        doc.Load(layout.substr(0, length).c_str());
        exercise(doc);
        const std::string be = Utf16(layout.substr(0, length), true);
        for (size_t cut : {be.size(), be.size() - 1}) {
            doc.LoadFromMem(Bytes(be), static_cast<DWORD>(cut), 1);
            exercise(doc);
        }
    }
    for (int round = 0; round < 1500000; ++round) {
        std::wstring text;
        if (round % 2 == 0) {
            text = layout;
            for (int i = 0, n = 1 + static_cast<int>(random() % 6); i < n; ++i)
                text[random() % text.size()] = alphabet[random() % alphabet.size()];
            text.resize(random() % (text.size() + 1));
        } else {
            for (int i = 0, n = static_cast<int>(random() % 40); i < n; ++i) text += alphabet[random() % alphabet.size()];
        }
        CXmlDocument doc;
        doc.Load(text.c_str());
        exercise(doc);
        const std::string bytes = Utf8(text);
        doc.LoadFromMem(Bytes(bytes), Size(bytes), round % 3);
        exercise(doc);
    }
    EXPECT_GT(loaded, 100);
}

TEST(XmlDocument, WideToMultiByteGivesAZeroFilledCopyInTheCodePage) {
    EXPECT_EQ(nullptr, HiveUI::WideToMultiByte(nullptr, CP_ACP));
    char* gbk = HiveUI::WideToMultiByte(L"\x4E2D\x6587pw", 936);
    EXPECT_STREQ("\xD6\xD0\xCE\xC4pw", gbk);
    delete[] gbk;
    char* empty = HiveUI::WideToMultiByte(L"", CP_UTF8);
    EXPECT_STREQ("", empty);
    delete[] empty;
}
