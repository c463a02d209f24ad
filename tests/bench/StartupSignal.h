// The event through which a start-up benchmark child says its first paint is done.
#pragma once

#include <windows.h>

namespace StartupSignal {

inline const wchar_t* Name() { return L"TallyhiveBenchFirstPaint"; }

inline HANDLE Create() { return CreateEventW(nullptr, TRUE, FALSE, Name()); }

inline void Raise() {
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, Name());
    if (event == nullptr) return;
    SetEvent(event);
    CloseHandle(event);
}

}  // namespace StartupSignal
