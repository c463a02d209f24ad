#include <ComApartment.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <ole2.h>

TEST(ComApartment, OleIsReadyAfterStartUpAndReleasedAfterShutdown) {
    ASSERT_TRUE(InitComAndOle());
    // A second OleInitialize on a ready thread answers S_FALSE, not an error.
    EXPECT_EQ(S_FALSE, OleInitialize(nullptr));
    OleUninitialize();
    // Drag and drop, which the framework's windows register for, needs OLE.
    IDataObject* clipboard = nullptr;
    const HRESULT hr = OleGetClipboard(&clipboard);
    EXPECT_NE(CO_E_NOTINITIALIZED, hr);
    if (clipboard != nullptr) clipboard->Release();
    UninitComAndOle(true);
}

DWORD WINAPI StartUpOnThread(void* out) {
    *static_cast<bool*>(out) = InitComAndOle();
    UninitComAndOle(*static_cast<bool*>(out));
    return 0;
}

TEST(ComApartment, OleIsReadyOnAThreadOfItsOwn) {
    // Each start-up on a fresh thread must reach OLE, not stop at a COM apartment clash.
    bool ready = false;
    HANDLE thread = CreateThread(nullptr, 0, StartUpOnThread, &ready, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(ready);
}
