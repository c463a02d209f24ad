#include "ClientProcesses.h"

#include <windows.h>
#include <tlhelp32.h>

#include "ScopedHandle.h"

using HiveUI::CScopedKernelHandle;

namespace {

// Long enough for a terminated process to wind down under load; short enough that one
// which never ends does not leave the window hanging.
const DWORD kEndWaitMs = 10000;

bool EndProcess(DWORD pid) {
    CScopedKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process.IsValid()) return false;
    if (!TerminateProcess(process.Get(), 0)) return false;
    return WaitForSingleObject(process.Get(), kEndWaitMs) == WAIT_OBJECT_0;
}

}  // namespace

bool EndProcessesNamed(const std::wstring& exeName) {
    if (exeName.empty()) return true;
    CScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    bool ended = true;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || _wcsicmp(entry.szExeFile, exeName.c_str()) != 0) continue;
        ended = EndProcess(entry.th32ProcessID) && ended;
    }
    return ended;
}
