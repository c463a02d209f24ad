// The last step: a hidden command interpreter removes the install folder once the
// uninstaller, which lives in it, has ended.
#pragma once

#include <string>

// The install path between double quotes after a removal; empty before and after an error.
extern wchar_t g_quotedInstallPath[280];

// The interpreter's parameters for the quoted path.
std::wstring SelfRemovalParameters(const wchar_t* quotedPath);

// Starts the folder removal (when a path was recorded) and ends the process with code 0.
[[noreturn]] void RemoveSelfAndExit();
