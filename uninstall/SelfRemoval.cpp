#include "SelfRemoval.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

wchar_t g_quotedInstallPath[280] = {};

namespace {

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The interpreter must not stand in the folder it removes: it starts in the parent.
std::wstring FolderAbove(const wchar_t* quotedPath) {
    std::wstring path(quotedPath);
    if (path.size() < 2) return std::wstring();
    path = path.substr(1, path.size() - 2);
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    return path.substr(0, slash < 3 ? 3 : slash);
}

}  // namespace

std::wstring SelfRemovalParameters(const wchar_t* quotedPath) {
    return std::wstring(L"/c rmdir /s /q  ") + quotedPath + L" ";
}

void RemoveSelfAndExit() {
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    const std::wstring program = ProgramPath();
    SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, program.c_str(), nullptr);
    if (g_quotedInstallPath[0] != L'\0') {
        const std::wstring parameters = SelfRemovalParameters(g_quotedInstallPath);
        const std::wstring folder = FolderAbove(g_quotedInstallPath);
        ShellExecuteW(nullptr, L"open", L"cmd.exe", parameters.c_str(), folder.empty() ? nullptr : folder.c_str(),
                      SW_HIDE);
    }
    ExitProcess(0);
}
