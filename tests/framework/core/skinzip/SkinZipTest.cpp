#include <SkinFile.h>
#include <UIManager.h>
#include <XmlDocument.h>
#include <ZipReader.h>

#include <ZipBuilder.h>
#include <gtest/gtest.h>

#include "../xml/XmlTestSupport.h"

using namespace HiveUI;

namespace {

const std::string kLayout = "<Window caption=\"0,0,0,30\"><Button name=\"close\"/></Window>";
const std::string kImage = TestZip::Text(70000, 5);

std::string DocumentOfSize(size_t size) { return "<A>" + std::string(size - 7, ' ') + "</A>"; }

// The archive lives as long as the process: the skin reader keeps reading from it.
const std::string& SkinArchive() {
    static std::string bytes;
    if (!bytes.empty()) return bytes;
    // The password "中文pw" in the ANSI code page (GBK).
    const std::string gbkPassword = "\xD6\xD0\xCE\xC4pw";
    bytes = TestZip::Build({
        TestZip::Make("SKIN/MAIN.XML", kLayout, 8),
        TestZip::Make("img/bk.png", kImage, 0),
        TestZip::Make("empty.xml", "", 0),
        TestZip::Make("limit.xml", DocumentOfSize(CXmlDocument::kMaxFileSize), 8),
        TestZip::Make("over.xml", DocumentOfSize(CXmlDocument::kMaxFileSize + 1), 8),
        TestZip::Make("bad.xml", kLayout, 0),
        TestZip::Make("secret.xml", kLayout, 8, gbkPassword),
    });
    // Damage bad.xml's stored bytes so that its CRC no longer matches.
    const size_t bad = bytes.find("bad.xml<Window");
    bytes[bad + 7 + 3] = 'X';
    return bytes;
}

// Set once per process; later calls change nothing.
void InstallSkinArchive() {
    const std::string& zip = SkinArchive();
    CPaintManagerUI::SetResourcePath(L"C:\\nowhere");
    CPaintManagerUI::SetResourceZipFromMemory(zip.data(), static_cast<DWORD>(zip.size()), L"\x4E2D\x6587pw");
}

}  // namespace

TEST(SkinZip, LayoutsAndImagesComeFromTheArchiveInMemory) {
    InstallSkinArchive();
    EXPECT_STREQ(L"membuffer", CPaintManagerUI::GetResourceZip().GetData());
    EXPECT_STREQ(L"\x4E2D\x6587pw", CPaintManagerUI::GetResourceZipPassword().GetData());
    EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
    TZipHandle* handle = CPaintManagerUI::GetResourceZipHandle();
    ASSERT_NE(nullptr, handle);

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(L"skin\\main.xml")) << doc.GetLastErrorMessage();
    EXPECT_EQ(L"Window[caption=0,0,0,30]{Button[name=close]}", XmlTest::Dump(doc.GetRoot()));
    EXPECT_TRUE(doc.LoadFromFile(L"secret.xml")) << doc.GetLastErrorMessage();
    EXPECT_TRUE(doc.LoadFromFile(L"limit.xml")) << doc.GetLastErrorMessage();
    std::vector<BYTE> image;
    ASSERT_EQ(ESkinFileResult::Ok, ReadSkinFile(L"IMG\\BK.PNG", 0, image));
    EXPECT_EQ(kImage, std::string(image.begin(), image.end()));

    struct Case {
        const wchar_t* name;
        const wchar_t* message;
    } failures[] = {{L"nothere.xml", L"Could not find ziped file"},
                    {L"empty.xml", L"File is empty"},
                    {L"over.xml", L"File too large"},
                    {L"bad.xml", L"Could not unzip file"}};
    for (const Case& c : failures) {
        EXPECT_FALSE(doc.LoadFromFile(c.name)) << c.name;
        EXPECT_STREQ(c.message, doc.GetLastErrorMessage()) << c.name;
        EXPECT_FALSE(doc.GetRoot().IsValid()) << c.name;
    }
}

TEST(SkinZip, ASecondArchiveInMemoryChangesNothing) {
    InstallSkinArchive();
    const std::string other = TestZip::Build({TestZip::Make("other.xml", "<Other/>", 0)});
    TZipHandle* before = CPaintManagerUI::GetResourceZipHandle();
    CPaintManagerUI::SetResourceZipFromMemory(other.data(), static_cast<DWORD>(other.size()), nullptr);
    EXPECT_EQ(before, CPaintManagerUI::GetResourceZipHandle());
    EXPECT_STREQ(L"\x4E2D\x6587pw", CPaintManagerUI::GetResourceZipPassword().GetData());
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile(L"other.xml"));
    EXPECT_TRUE(doc.LoadFromFile(L"skin/main.xml"));
}
