#include <UIManager.h>

#include <gtest/gtest.h>

using HiveUI::CPaintManagerUI;

TEST(SkinSource, ResourcePathGetsATrailingBackslashOnlyWhenItHasNoSeparator) {
    CPaintManagerUI::SetResourcePath(L"C:\\skins");
    EXPECT_STREQ(L"C:\\skins\\", CPaintManagerUI::GetResourcePath().GetData());
    CPaintManagerUI::SetResourcePath(L"C:/skins/");
    EXPECT_STREQ(L"C:/skins/", CPaintManagerUI::GetResourcePath().GetData());
    CPaintManagerUI::SetResourcePath(L"");
    EXPECT_STREQ(L"", CPaintManagerUI::GetResourcePath().GetData());
    CPaintManagerUI::SetResourcePath(nullptr);
    EXPECT_TRUE(CPaintManagerUI::GetResourcePath().IsEmpty());
}

TEST(SkinSource, InstancePathIsTheFolderOfTheModule) {
    CPaintManagerUI::SetInstance(nullptr);
    EXPECT_TRUE(CPaintManagerUI::GetInstancePath().IsEmpty());
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceDll());
    HINSTANCE self = GetModuleHandleW(nullptr);
    CPaintManagerUI::SetInstance(self);
    EXPECT_EQ(self, CPaintManagerUI::GetResourceDll());
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(self, exe, MAX_PATH);
    const HiveUI::CUIString folder = CPaintManagerUI::GetInstancePath();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(L'\\', folder[folder.GetLength() - 1]);
    EXPECT_EQ(0, wcsncmp(exe, folder.GetData(), folder.GetLength()));
    EXPECT_EQ(nullptr, wcschr(exe + folder.GetLength(), L'\\'));
    CPaintManagerUI::SetResourceType(4);
    EXPECT_EQ(4, CPaintManagerUI::GetResourceType());
}
