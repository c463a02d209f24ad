#include <ScopedHandle.h>

#include <gtest/gtest.h>

#include <utility>

using namespace HiveUI;

namespace {

bool KernelHandleIsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(ScopedHandle, GdiObjectsAreDeletedWhenTheirOwnerGoes) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(nullptr, brush);
    {
        CScopedGdiObject<HBRUSH> owner(brush);
        EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(owner.Get()));
    }
    EXPECT_EQ(0u, GetObjectType(brush));
}

TEST(ScopedHandle, ResetFreesTheOldHandleAndReleaseGivesOwnershipAway) {
    CScopedGdiObject<HPEN> owner(CreatePen(PS_SOLID, 1, 0));
    const HPEN first = owner.Get();
    owner.Reset(CreatePen(PS_SOLID, 2, 0));
    EXPECT_EQ(0u, GetObjectType(first));
    const HPEN second = owner.Release();
    EXPECT_FALSE(owner.IsValid());
    owner.Reset();
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(second));
    DeleteObject(second);
}

TEST(ScopedHandle, MovingTransfersOwnershipOnce) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, event);
    {
        CScopedKernelHandle a(event);
        CScopedKernelHandle b(std::move(a));
        EXPECT_FALSE(a.IsValid());
        CScopedKernelHandle c;
        c = std::move(b);
        EXPECT_EQ(event, c.Get());
        EXPECT_TRUE(KernelHandleIsOpen(event));
    }
    EXPECT_FALSE(KernelHandleIsOpen(event));
}

TEST(ScopedHandle, AFailedCreateFileResultIsNotClosed) {
    CScopedKernelHandle file(CreateFileW(L"Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                         nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.Get());
    EXPECT_FALSE(file.IsValid());
}

TEST(ScopedHandle, IconsAreDestroyed) {
    const BYTE andMask[4 * 4] = {};
    const BYTE xorMask[4 * 4] = {};
    HICON icon = CreateIcon(nullptr, 4, 4, 1, 1, andMask, xorMask);
    ASSERT_NE(nullptr, icon);
    { CScopedIcon owner(icon); }
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(icon, &info));
}

TEST(ScopedHandle, ASelectedObjectIsPutBackBeforeItsOwnerDeletesIt) {
    CScopedCreatedDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.IsValid());
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    HBITMAP raw = nullptr;
    {
        CScopedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc.Get(), 8, 8));
        raw = bitmap.Get();
        CSelectObjectGuard selected(dc.Get(), bitmap.Get());
        EXPECT_TRUE(selected.IsSelected());
        EXPECT_EQ(raw, GetCurrentObject(dc.Get(), OBJ_BITMAP));
    }
    EXPECT_EQ(original, GetCurrentObject(dc.Get(), OBJ_BITMAP));
    EXPECT_EQ(0u, GetObjectType(raw)) << "deleted once it was no longer selected";
}

}  // namespace
