// The folders and the theme colour that every process of the client works out first.
#pragma once

#include <windows.h>

#include <string>

// Folder of the running executable, with its trailing backslash (system code page).
extern std::string g_exeFolder;
// The per-user data folder: local application data + "\tallyhive\" (system code page).
extern std::string g_dataFolder;
extern DWORD g_themeColor;

void InitAppPaths();
