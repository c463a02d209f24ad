#include "ComApartment.h"

#include <objbase.h>
#include <ole2.h>

bool InitComAndOle() {
    // A multi-threaded apartment would make OleInitialize fail with RPC_E_CHANGED_MODE.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return SUCCEEDED(OleInitialize(nullptr));
}

void UninitComAndOle(bool oleReady) {
    if (oleReady) OleUninitialize();
    CoUninitialize();
}
