#include "ClientProcesses.h"

#include <windows.h>
#include <tlhelp32.h>

#include "ScopedHandle.h"

using HiveUI::CScopedKernelHandle;

namespace {

// Long enough for a terminated process to wind down under load; short enough that one
// which never ends does not leave the window hanging.
const DWORD kEndWaitMs = 10000;

// The path made full and long, without a trailing separator; empty when it cannot be.
std::wstring CanonicalPath(const std::wstring& folder) {
    wchar_t full[MAX_PATH] = {};
    DWORD length = GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    wchar_t longPath[MAX_PATH] = {};
    const DWORD longLength = GetLongPathNameW(full, longPath, MAX_PATH);
    std::wstring path = longLength > 0 && longLength < MAX_PATH ? longPath : full;
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

// Whether the program file of the open process lies below folder (a canonical path).
bool RunsFrom(HANDLE process, const std::wstring& folder) {
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (folder.empty() || !QueryFullProcessImageNameW(process, 0, image, &length)) return false;
    const std::wstring path = CanonicalPath(std::wstring(image, length));
    return path.size() > folder.size() + 1 && path[folder.size()] == L'\\' &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

// True when the process is not the installed client's or has ended.
bool EndProcess(DWORD pid, const std::wstring& folder) {
    CScopedKernelHandle process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process.IsValid()) return false;
    if (!RunsFrom(process.Get(), folder)) return true;
    if (!TerminateProcess(process.Get(), 0)) return false;
    return WaitForSingleObject(process.Get(), kEndWaitMs) == WAIT_OBJECT_0;
}

}  // namespace

bool EndProcessesNamed(const std::wstring& exeName, const std::wstring& installFolder) {
    if (exeName.empty()) return true;
    const std::wstring folder = CanonicalPath(installFolder);
    CScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    bool ended = true;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || _wcsicmp(entry.szExeFile, exeName.c_str()) != 0) continue;
        ended = EndProcess(entry.th32ProcessID, folder) && ended;
    }
    return ended;
}
