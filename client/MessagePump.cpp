#include "MessagePump.h"

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD boundMs) {
    const ULONGLONG end = ::GetTickCount64() + boundMs;
    bool quit = false;
    int quitCode = 0;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) break;
        // Without MWMO_INPUTAVAILABLE the wait ignores messages that some peek (done()
        // itself, say) has already seen but left queued, and sleeps to the bound.
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (quit) ::PostQuitMessage(quitCode);
    return done();
}
