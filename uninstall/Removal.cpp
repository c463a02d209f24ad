#include "Removal.h"

#include <windows.h>
#include <shlobj.h>

#include "ClientProcesses.h"
#include "FolderRemoval.h"
#include "ScopedHandle.h"

using HiveUI::CScopedRegKey;

namespace {

std::wstring ShellFolder(int id) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path))) return std::wstring();
    return path;
}

bool DeleteFileIfThere(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Only a key without subkeys of its own goes: a product key that grew others is left.
bool DeleteSubkey(HKEY root, const wchar_t* parent, const std::wstring& name) {
    HKEY opened = nullptr;
    const LONG openResult = RegOpenKeyExW(root, parent, 0, KEY_READ | KEY_WRITE, &opened);
    if (openResult == ERROR_FILE_NOT_FOUND) return true;
    if (openResult != ERROR_SUCCESS) return false;
    CScopedRegKey key(opened);
    const LONG result = RegDeleteKeyW(key.Get(), name.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool RemoveStartMenuEntries(const UninstallRecord& record) {
    const std::wstring programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) return false;
    const std::wstring folder = programs + L"\\" + record.installRegName;
    // A folder that still holds files survives the first call and goes with the second.
    RemoveDirectoryW(folder.c_str());
    bool removed = DeleteFolderByShell(folder);
    removed = DeleteFileIfThere(folder + L"\\" + record.installRegName + L".lnk") && removed;
    return DeleteFileIfThere(programs + L"\\" + record.uninstallName + L".lnk") && removed;
}

}  // namespace

bool RemoveInstallation(const UninstallRecord& record, const std::wstring& programPath) {
    bool removed = EndProcessesNamed(record.installExeName, record.installPath);
    // Links anywhere below, dot-names included, go first, so that neither this removal
    // nor the final one reaches through a link into another folder.
    removed = RemoveLinksBelow(record.installPath) && removed;
    removed = DeleteFolderContents(record.installPath, programPath) && removed;
    const std::wstring desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    removed = !desktop.empty() && DeleteFileIfThere(desktop + L"\\" + record.installRegName + L".lnk") && removed;
    removed = RemoveStartMenuEntries(record) && removed;
    removed = DeleteSubkey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                           record.installRegName) && removed;
    removed = DeleteSubkey(HKEY_CURRENT_USER, L"Software", record.installRegName) && removed;
    return removed;
}
