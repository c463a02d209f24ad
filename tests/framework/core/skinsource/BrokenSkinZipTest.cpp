#include <UIManager.h>
#include <XmlDocument.h>

#include <gtest/gtest.h>

using namespace HiveUI;

TEST(SkinSource, AnArchiveThatDoesNotOpenLeavesLayoutsUnreadable) {
    static const char notAZip[] = "this is no zip archive at all";
    CPaintManagerUI::SetResourceZipFromMemory(notAZip, sizeof(notAZip), nullptr);
    EXPECT_STREQ(L"membuffer", CPaintManagerUI::GetResourceZip().GetData());
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile(L"main.xml"));
    EXPECT_STREQ(L"Error opening zip file", doc.GetLastErrorMessage());
}
