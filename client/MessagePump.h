// Running the thread's messages for a while outside the framework's loop, as shutdown
// does while it waits for something that other threads report through messages.
#pragma once

#include <windows.h>

#include <functional>

// Dispatches this thread's messages until done() answers true or boundMs have passed;
// true when done. A quit message met on the way is passed on to the next loop.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD boundMs);
