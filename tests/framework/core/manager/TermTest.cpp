#include <ImageData.h>
#include <TestFiles.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "ManagerTestKit.h"

using HiveUI::CPaintManagerUI;

namespace {

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

// Everything a manager and the shared caches hold is released by the manager's
// destruction and Term: the handles are gone and the process's GDI count is back (Wine 8
// reports a count of 0, so there only the handles themselves are checked).
TEST(ManagerTerm, DestructionAndTermReleaseEveryFontAndImage) {
    const std::wstring folder = TestFiles::TempFolder();
    ASSERT_TRUE(TestFiles::Write(folder + L"term.png", ManagerTest::SolidPng(8, 8, 0x80FFFFFF)));
    CPaintManagerUI::SetResourcePath(folder.c_str());
    CPaintManagerUI::Term();
    delete new CPaintManagerUI;  // the process-wide pen and libraries stay for the process
    CPaintManagerUI::Term();
    const DWORD before = GdiObjects();

    HWND wnd = ManagerTest::CreatePlainWindow();
    std::vector<HGDIOBJ> handles;
    {
        CPaintManagerUI manager;
        manager.Init(wnd);
        const HGDIOBJ stock = manager.GetFont(-1);  // the shared default font, replaced next
        manager.SetDefaultFont(L"Tahoma", 14, false, false, false, true);
        EXPECT_EQ(0u, GetObjectType(stock));
        handles.push_back(manager.GetFont(-1));
        manager.SetDefaultFont(L"Tahoma", 13, false, false, false);
        handles.push_back(manager.GetFont(-1));
        handles.push_back(manager.AddFont(1, L"Tahoma", 10, false, false, false));
        handles.push_back(manager.AddFont(2, L"Tahoma", 11, true, false, false, true));
        handles.push_back(manager.AddImage(L"term.png")->bitmap);
        handles.push_back(manager.AddImage(L"term.png", nullptr, 0, true, true)->bitmap);
        manager.GetImageDrawSpec(L"file='term.png'");
        manager.AddStyle(L"s", L"a=\"1\"", true);
        manager.AddDefaultAttributeList(L"Label", L"a=\"1\"", true);
        for (HGDIOBJ handle : handles) {
            ASSERT_NE(0u, GetObjectType(handle));
        }
        if (before != 0) {
            EXPECT_GT(GdiObjects(), before);
        }
    }
    DestroyWindow(wnd);
    CPaintManagerUI::Term();
    for (HGDIOBJ handle : handles) {
        EXPECT_EQ(0u, GetObjectType(handle));
    }
    if (before != 0) {
        EXPECT_EQ(before, GdiObjects());
    }
    CPaintManagerUI check;
    EXPECT_EQ(nullptr, check.GetImage(L"term.png"));
    EXPECT_EQ(nullptr, check.GetStyle(L"s"));
    EXPECT_EQ(nullptr, check.GetDefaultAttributeList(L"Label"));
    EXPECT_EQ(check.FindFont(L"Tahoma", 11, true, false, false), nullptr);
    CPaintManagerUI::SetResourcePath(L"");
    std::printf("GDI object count from GetGuiResources: %lu\n", before);
}

}  // namespace
