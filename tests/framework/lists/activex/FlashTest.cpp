#include <ActiveXGuids.h>
#include <UIFlash.h>

#include "HostKit.h"

using namespace HiveUI;

namespace {

const RECT kRect = {20, 20, 120, 80};

CLSID FlashClsid() {
    CLSID clsid = IID_NULL;
    CLSIDFromString(L"{D27CDB6E-AE6D-11CF-96B8-444553540000}", &clsid);
    return clsid;
}

// No Flash player is installed here: the control stays empty and answers as such.
TEST_F(ActiveXHost, FlashWithoutAPlayerStaysEmpty) {
    CFlashUI* flash = Place(kRect, nullptr, new CFlashUI);
    EXPECT_TRUE(IsEqualCLSID(FlashClsid(), flash->GetClsid()));
    void* out = nullptr;
    EXPECT_EQ(E_PENDING, flash->GetControl(IID_IUnknown, &out));
    EXPECT_EQ(nullptr, flash->GetShockwaveFlash());
    EXPECT_EQ(nullptr, flash->GetHostWindow());
    EXPECT_EQ(S_FALSE, flash->RegisterEventHandler(true));
    MSG key = {hwnd(), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    MSG move = {hwnd(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_EQ(E_NOTIMPL, flash->TranslateAccelerator(&key));
    EXPECT_EQ(S_FALSE, flash->TranslateAccelerator(&move));
}

// A skin's Flash element names no class: the player's own is what gets created.
TEST_F(ActiveXHost, FlashHostsWhateverIsRegisteredAsThePlayer) {
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(FlashClsid(), &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
    CFlashUI* flash = Place(kRect, nullptr, new CFlashUI);
    CoRevokeClassObject(cookie);
    EXPECT_EQ(1, TestOleObject::live);
    EXPECT_EQ(manager().GetPaintWindow(), flash->GetHostWindow());
    // The object is no player: nothing to listen to.
    EXPECT_EQ(nullptr, flash->GetShockwaveFlash());
    EXPECT_EQ(S_FALSE, flash->RegisterEventHandler(true));
}

TEST(FlashEvents, EveryEventIsAcceptedAndOnlyTheEventInterfacesAreAnswered) {
    CFlashUI flash;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    for (DISPID id : {-609, 150, 1958, 197}) {
        EXPECT_EQ(S_OK, flash.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    }
    void* out = nullptr;
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, kDiidShockwaveFlashEvents}) {
        EXPECT_EQ(S_OK, flash.QueryInterface(iid, &out));
        EXPECT_EQ(static_cast<_IShockwaveFlashEvents*>(&flash), out);
    }
    EXPECT_EQ(E_NOINTERFACE, flash.QueryInterface(IID_IOleObject, &out));
    EXPECT_EQ(nullptr, out);
    UINT count = 7;
    EXPECT_EQ(E_NOTIMPL, flash.GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
}

}  // namespace
