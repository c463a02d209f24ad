// The test object's library for "modulename": its factory answers any class
// identifier, and its live count shows what the control made and released.
#include "activex/TestOleObject.h"

namespace {
TestOleFactory factory;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID iid, void** out) {
    return factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) LONG WINAPI TestOleLiveObjects() { return TestOleObject::live; }
