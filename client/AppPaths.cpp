#include "AppPaths.h"

#include <shlobj.h>

#include <cstdlib>

std::string g_exeFolder;
std::string g_dataFolder;
DWORD g_themeColor = 0;

void InitAppPaths() {
    g_themeColor = static_cast<DWORD>(std::strtoul("FFFEFAE8", nullptr, 16));

    char module[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    g_exeFolder = module;
    g_exeFolder.erase(g_exeFolder.find_last_of('\\') + 1);

    char appData[MAX_PATH + 1] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    g_dataFolder = std::string(appData) + "\\tallyhive\\";
    // One level only: the application-data folder itself always exists.
    const DWORD attributes = GetFileAttributesA(g_dataFolder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CreateDirectoryA(g_dataFolder.c_str(), nullptr);
    }
}
