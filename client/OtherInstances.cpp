#include "OtherInstances.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

namespace {

struct ProcessEntry {
    DWORD pid;
    DWORD parent;
    std::wstring name;
};

std::wstring Lower(const wchar_t* text) {
    std::wstring out;
    for (; *text != L'\0'; ++text) out += static_cast<wchar_t>(std::towlower(*text));
    return out;
}

std::wstring OwnExecutableName() {
    wchar_t module[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const wchar_t* slash = wcsrchr(module, L'\\');
    return Lower(slash != nullptr ? slash + 1 : module);
}

std::vector<ProcessEntry> SnapshotProcesses() {
    std::vector<ProcessEntry> entries;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return entries;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        entries.push_back({entry.th32ProcessID, entry.th32ParentProcessID, Lower(entry.szExeFile)});
    }
    CloseHandle(snapshot);
    return entries;
}

// Processes that cannot be opened are skipped without a message.
void Terminate(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (process == nullptr) return;
    TerminateProcess(process, 0);
    CloseHandle(process);
}

std::set<DWORD> Descendants(const std::vector<ProcessEntry>& entries, DWORD root) {
    std::set<DWORD> found;
    std::vector<DWORD> pending{root};
    while (!pending.empty()) {
        const DWORD parent = pending.back();
        pending.pop_back();
        for (const auto& e : entries) {
            if (e.parent == parent && e.pid != root && found.insert(e.pid).second) pending.push_back(e.pid);
        }
    }
    return found;
}

}  // namespace

void KillOtherInstances() {
    const std::wstring own = OwnExecutableName();
    const DWORD self = GetCurrentProcessId();
    for (const auto& e : SnapshotProcesses()) {
        if (e.name == own && e.pid != self) Terminate(e.pid);
    }
}

void KillOwnSubProcesses() {
    const std::wstring own = OwnExecutableName();
    const std::vector<ProcessEntry> entries = SnapshotProcesses();
    const std::set<DWORD> descendants = Descendants(entries, GetCurrentProcessId());
    for (const auto& e : entries) {
        if (e.name == own && descendants.count(e.pid) != 0) Terminate(e.pid);
    }
}
