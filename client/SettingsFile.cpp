#include "SettingsFile.h"

#include <windows.h>

#include <cstdio>

#include "ServerLines.h"

void LoadSelectedLine(const std::string& configPath) {
    const int stored = static_cast<int>(GetPrivateProfileIntA("LINES", "SELECT_INDEX", 0, configPath.c_str()));
    SetSelectedLine(stored);
}

void StoreSelectedLine(const std::string& configPath) {
    char text[16];
    std::snprintf(text, sizeof(text), "%d", g_lines.selected.load());
    WritePrivateProfileStringA("LINES", "SELECT_INDEX", text, configPath.c_str());
}
