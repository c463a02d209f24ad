#include "SimpleApp.h"

#include "MyCefV8Handler.h"

const SwitchEntry kSimpleAppSwitches[6] = {
    {"touch-events", "enabled"},
    {"enable-npapi", nullptr},
    {"--disable-web-security", nullptr},
    {"ppapi-flash-version", "25.0.0.127"},
    {"ppapi-flash-path", "ppflash\\25_0_0_127\\pepflashplayer32_25_0_0_127.dll"},
    {"autoplay-policy", "no-user-gesture-required"},
};

// Every process gets the same switches, whatever its role.
void SimpleApp::OnBeforeCommandLineProcessing(const CefString&, CefRefPtr<CefCommandLine> command_line) {
    for (const SwitchEntry& entry : kSimpleAppSwitches) {
        if (entry.value == nullptr) {
            command_line->AppendSwitch(entry.name);
        } else {
            command_line->AppendSwitchWithValue(entry.name, entry.value);
        }
    }
}

SimpleApp::SimpleApp() { g_v8Handler = new MyCefV8Handler(); }

void SimpleApp::OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context) {
    BindAppExtension(context, g_v8Handler.get());
}
