// The parser reads ASCII without library calls: every document must still parse exactly
// as when the whole text went through MultiByteToWideChar and every character through
// iswalnum and CharNextW.
#include <XmlDocument.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <random>
#include <string>

#include "XmlTestSupport.h"

using HiveUI::CXmlDocument;
using namespace XmlTest;

namespace {

// The whole text converted in one piece, as the document's bytes always were.
std::wstring Converted(const std::string& bytes, UINT codePage) {
    const int units = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(units), L'\0');
    if (units > 0) MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], units);
    return text;
}

std::wstring Outcome(CXmlDocument& doc, bool loaded) {
    return (loaded ? L"ok " : L"failed ") + Dump(doc.GetRoot()) + L" | " + doc.GetLastErrorMessage() + L" | " +
           doc.GetLastErrorLocation();
}

}  // namespace

TEST(XmlFastPath, BytesParseAsTheirWholeConversion) {
    struct Case {
        const char* what;
        std::string bytes;
        int encoding;
    };
    const std::string head = "<Window><Label name=\"a\" text=\"";
    const std::string tail = "\" tip=\"x &amp; y\"/></Window>";
    const Case cases[] = {
        {"ascii", head + "plain &lt;text&gt;" + tail, 0},
        {"chinese after an ascii head", head + "\xE8\xAE\xA2\xE5\x8D\x95 12 &amp; \xE5\xAE\xA0" + tail, 0},
        {"signature", "\xEF\xBB\xBF" + head + "\xE5\xAE\xA0" + tail, 0},
        {"four-byte character", head + "\xF0\x9F\x98\x80&quot;" + tail, 0},
        {"lone continuation byte", head + "a\x80" "b" + tail, 0},
        {"sequence cut by ascii", head + "\xE8\xAE\"" + tail, 0},
        {"overlong and surrogate", head + "\xC0\xAF \xED\xA0\x80 \xF5\x80" + tail, 0},
        {"cut at the end", head + tail + "\xE8\xAE", 0},
        {"non-ascii element name", "<W\xC3\xA9" "b/>", 0},
        {"nul inside", head + std::string("a\0b", 3) + tail, 0},
        {"boundaries of each sequence length",
         head + "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF" + tail, 0},
        {"overlong, above the last plane, bad lead",
         head + "\xE0\x80\x80 \xF0\x80\x80\x80 \xF4\x90\x80\x80 \xC1\xBF \xFF\xFE" + tail, 0},
        {"gbk with ascii trail bytes", head + "\xB6\xA9\xB5\xA5 \x81\x40\x81\x5C" + tail, 2},
        {"gbk lead byte at the end", head + tail + "\xB6", 2},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        const UINT codePage = c.encoding == 0 ? CP_UTF8 : CP_ACP;
        const bool signature = c.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        CXmlDocument expected, actual;
        const bool expectedLoaded = expected.Load(Converted(c.bytes.substr(signature ? 3 : 0), codePage).c_str());
        const bool actualLoaded = actual.LoadFromMem(Bytes(c.bytes), Size(c.bytes), c.encoding);
        EXPECT_EQ(Outcome(expected, expectedLoaded), Outcome(actual, actualLoaded)) << c.what;
    }
}

// Any code point in UTF-8, surrogates too (which makes it malformed).
std::string Encoded(unsigned int c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    std::string out(static_cast<size_t>(length), '\0');
    for (int i = length - 1; i > 0; --i, c >>= 6) out[i] = static_cast<char>(0x80 | (c & 0x3F));
    out[0] = static_cast<char>((0xF00 >> length) | c);
    return out;
}

// Random ASCII, high bytes and encoded code points inside an attribute value and a text.
TEST(XmlFastPath, RandomBytesParseAsTheirWholeConversion) {
    std::mt19937 random(16);
    const std::string alphabet = "ab<\"& ;";
    for (int round = 0; round < 400; ++round) {
        std::string value;
        for (int length = static_cast<int>(random() % 24); length > 0; --length) {
            const unsigned pick = random() % 4;
            value += pick == 0   ? std::string(1, alphabet[random() % alphabet.size()])
                     : pick == 1 ? Encoded(random() % 0x110000)
                                 : std::string(1, static_cast<char>(0x80 + random() % 0x80));
        }
        const std::string bytes = "<a v=\"" + value + "\">" + value + "<b/></a>";
        const int encoding = round % 4 == 3 ? 2 : 0;
        CXmlDocument expected, actual;
        const bool expectedLoaded = expected.Load(Converted(bytes, encoding == 0 ? CP_UTF8 : CP_ACP).c_str());
        const bool actualLoaded = actual.LoadFromMem(Bytes(bytes), Size(bytes), encoding);
        ASSERT_EQ(Outcome(expected, expectedLoaded), Outcome(actual, actualLoaded)) << round;
    }
}

TEST(XmlFastPath, AsciiNameCharactersAreIswalnumUnderscoreAndColon) {
    for (wchar_t c = 1; c < 0x80; ++c) {
        const bool nameChar = iswalnum(c) || c == L'_' || c == L':';
        const std::wstring name = std::wstring(L"a") + c + L"b";
        CXmlDocument doc;
        const bool whole = doc.Load((L"<" + name + L"/>").c_str()) && name == doc.GetRoot().GetName();
        EXPECT_EQ(nameChar, whole) << static_cast<int>(c);
    }
}

TEST(XmlFastPath, EntitiesNextToNonAsciiCharactersDecode) {
    const struct {
        const wchar_t* written;
        const wchar_t* read;
    } cases[] = {
        {L"\x00E9&amp;\x00E9", L"\x00E9&\x00E9"},
        {L"a\x0301&lt;b\x0301\x0302&gt;", L"a\x0301<b\x0301\x0302>"},
        {L"\xD83D\xDE00&quot;\xD83D\xDE00", L"\xD83D\xDE00\"\xD83D\xDE00"},
        {L"\x5B9A&#x41;&apos;\x5B9A &amp ", L"\x5B9A&#x41;'\x5B9A &amp "},
        {L"&&amp;&\x00E9", L"&&&\x00E9"},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.Load((std::wstring(L"<a v=\"") + c.written + L"\">" + c.written + L"<b/></a>").c_str()))
            << doc.GetLastErrorMessage();
        EXPECT_EQ(std::wstring(L"a[v=") + c.read + L"]{b[]}", Dump(doc.GetRoot()));
    }
}

// Values and texts are scanned several units at a time: a delimiter, an entity or the
// end of the text may fall on any unit of such a read.
TEST(XmlFastPath, RunsOfEveryLengthEndWhereTheirDelimiterIs) {
    for (size_t length = 0; length <= 17; ++length) {
        std::wstring run;
        for (size_t i = 0; i < length; ++i) run += i % 3 == 2 ? L'\x5B9A' : static_cast<wchar_t>(L'a' + i);
        CXmlDocument doc;
        ASSERT_TRUE(doc.Load((L"<a v=\"" + run + L"&amp;" + run + L"\" w=\"" + run + L"\">" + run + L"<b/></a>").c_str()))
            << length;
        EXPECT_EQ(L"a[v=" + run + L"&" + run + L",w=" + run + L"]{b[]}", Dump(doc.GetRoot())) << length;
        EXPECT_FALSE(doc.Load((L"<a v=\"" + run).c_str())) << length;
        EXPECT_STREQ(L"Error while parsing attribute string", doc.GetLastErrorMessage()) << length;
    }
}
