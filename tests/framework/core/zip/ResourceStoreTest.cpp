#include <ResourceStore.h>

#include <gtest/gtest.h>

using HiveUI::CResourceStore;

TEST(ResourceStore, UnregisteredNamesAndIdsPassThrough) {
    CResourceStore* store = CResourceStore::GetInstance();
    ASSERT_NE(nullptr, store);
    EXPECT_EQ(store, CResourceStore::GetInstance());
    EXPECT_STREQ(L"", store->GetText(nullptr).GetData());
    EXPECT_STREQ(L"IDS_TITLE", store->GetText(L"IDS_TITLE", L"text").GetData());
    EXPECT_EQ(nullptr, store->GetImagePath(L"bk.png"));
    EXPECT_EQ(nullptr, store->GetXmlPath(L"main.xml"));
    CResourceStore::Release();
    EXPECT_STREQ(L"again", CResourceStore::GetInstance()->GetText(L"again").GetData());
    CResourceStore::Release();
}
