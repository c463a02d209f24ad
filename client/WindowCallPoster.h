// CWindowCallPoster: carries window-control calls made on other threads to the main
// window's thread as posted WM_WINDOW_CONTROL messages. Posting and the window's end
// take one lock, so every record either reaches the window or is freed: refused once
// the window is closing, freed when the post fails, drained when the window goes.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>

#include "MainFrameMessages.h"

class CWindowCallPoster {
public:
    void Open(HWND wnd);
    // False when the call did not reach the window's queue; the record is freed then.
    bool Post(std::unique_ptr<TWindowControlCall> call);
    // On the window's thread: takes over the record of a WM_WINDOW_CONTROL message.
    static std::unique_ptr<TWindowControlCall> Take(WPARAM wParam);
    // On the window's thread while the window still exists: refuses further calls and
    // frees those still queued.
    void Close();

private:
    std::mutex m_lock;
    HWND m_wnd = nullptr;
};
