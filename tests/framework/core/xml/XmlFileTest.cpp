#include <SkinFile.h>
#include <UIManager.h>
#include <XmlDocument.h>

#include <TestFiles.h>
#include <gtest/gtest.h>

#include "XmlTestSupport.h"

using HiveUI::CPaintManagerUI;
using HiveUI::CXmlDocument;

namespace {

// A document of exactly `size` bytes: the root's content is padding.
std::string DocumentOfSize(size_t size) { return "<A>" + std::string(size - 7, ' ') + "</A>"; }

}  // namespace

TEST(XmlFile, LayoutsLoadFromTheSkinFolderWithinTheSizeLimit) {
    const std::wstring folder = TestFiles::TempFolder() + L"skin";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\sub").c_str(), nullptr);
    ASSERT_TRUE(TestFiles::Write(folder + L"\\sub\\main.xml", "\xEF\xBB\xBF<Window size=\"1,2\"><Label/></Window>"));
    ASSERT_TRUE(TestFiles::Write(folder + L"\\empty.xml", ""));
    ASSERT_TRUE(TestFiles::Write(folder + L"\\limit.xml", DocumentOfSize(CXmlDocument::kMaxFileSize)));
    ASSERT_TRUE(TestFiles::Write(folder + L"\\over.xml", DocumentOfSize(CXmlDocument::kMaxFileSize + 1)));
    ASSERT_TRUE(TestFiles::Write(folder + L"\\broken.xml", "<Window><Label></Window>"));
    CPaintManagerUI::SetResourcePath(folder.c_str());
    ASSERT_TRUE(CPaintManagerUI::GetResourceZip().IsEmpty());

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(L"sub\\main.xml")) << doc.GetLastErrorMessage();
    EXPECT_EQ(L"Window[size=1,2]{Label[]}", XmlTest::Dump(doc.GetRoot()));
    EXPECT_TRUE(doc.LoadFromFile(L"limit.xml")) << doc.GetLastErrorMessage();
    struct Case {
        const wchar_t* name;
        const wchar_t* message;
    } failures[] = {{L"missing.xml", L"Error opening file"},
                    {L"empty.xml", L"File is empty"},
                    {L"over.xml", L"File too large"},
                    {L"broken.xml", L"Unmatched closing tag"}};
    for (const Case& c : failures) {
        EXPECT_FALSE(doc.LoadFromFile(c.name)) << c.name;
        EXPECT_STREQ(c.message, doc.GetLastErrorMessage()) << c.name;
        EXPECT_FALSE(doc.GetRoot().IsValid()) << c.name;
    }
    // The file is closed again whatever the outcome.
    EXPECT_TRUE(DeleteFileW((folder + L"\\over.xml").c_str()));
    EXPECT_TRUE(DeleteFileW((folder + L"\\sub\\main.xml").c_str()));
    CPaintManagerUI::SetResourcePath(L"");
}
