#include "ProcessResources.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <thread>
#include <vector>

namespace {

// Wine keeps each process's GDI handle table in its own memory and names it in the PEB
// as Windows does; its entries are 24 bytes, the object's type in byte 14 (0 when the
// slot is free). The self-check below proves the layout before any figure is believed.
const size_t kPebGdiTable = 0x94;
const size_t kGdiEntrySize = 24;
const size_t kGdiTypeByte = 14;
const size_t kGdiEntries = 0x10000;

long CountGdiObjects(HANDLE process) {
    PROCESS_BASIC_INFORMATION info = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof(info), &length) != 0) return -1;
    DWORD table = 0;
    const BYTE* peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    if (!ReadProcessMemory(process, peb + kPebGdiTable, &table, sizeof(table), nullptr) || table == 0) return -1;
    std::vector<BYTE> entries(kGdiEntries * kGdiEntrySize);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), entries.size(), nullptr)) return -1;
    long live = 0;
    for (size_t at = kGdiTypeByte; at < entries.size(); at += kGdiEntrySize) live += entries[at] != 0;
    return live;
}

struct TWindowCount {
    DWORD processId;
    long count;
};

BOOL CALLBACK CountChild(HWND wnd, LPARAM data) {
    auto* windows = reinterpret_cast<TWindowCount*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    windows->count += pid == windows->processId;
    return TRUE;
}

// A window of the process and every window below it.
void CountTree(HWND wnd, TWindowCount& windows) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != windows.processId) return;
    ++windows.count;
    EnumChildWindows(wnd, CountChild, reinterpret_cast<LPARAM>(&windows));
}

BOOL CALLBACK CountTopLevel(HWND wnd, LPARAM data) {
    CountTree(wnd, *reinterpret_cast<TWindowCount*>(data));
    return TRUE;
}

long CountWindows(DWORD processId) {
    TWindowCount windows = {processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    for (HWND wnd = nullptr; (wnd = FindWindowExW(HWND_MESSAGE, wnd, nullptr, nullptr)) != nullptr;) {
        CountTree(wnd, windows);
    }
    return windows.count;
}

// The system handle list (information class 16): a count, then one record per handle.
struct TSystemHandle {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

long CountHandles(DWORD processId) {
    const SYSTEM_INFORMATION_CLASS kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    const LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(), buffer.size(), &needed)) ==
           kLengthMismatch) {
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status != 0) return -1;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* handles = reinterpret_cast<const TSystemHandle*>(buffer.data() + sizeof(ULONG));
    long own = 0;
    for (ULONG i = 0; i < count && sizeof(ULONG) + (i + 1) * sizeof(TSystemHandle) <= buffer.size(); ++i) {
        own += handles[i].ownerPid == processId;
    }
    return own;
}

long CountThreads(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    long count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == processId;
    }
    CloseHandle(snapshot);
    return count;
}

long long CountPrivateBytes(HANDLE process) {
    long long bytes = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const BYTE* at = nullptr; VirtualQueryEx(process, at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return bytes;
}

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

}  // namespace

std::string TProcessResources::Describe() const {
    char text[160];
    std::snprintf(text, sizeof(text), "GDI objects %ld, user objects %ld, handles %ld, threads %ld, private bytes %lld",
                  gdiObjects, userObjects, handles, threads, privateBytes);
    return text;
}

TProcessResources ReadProcessResources(HANDLE process, DWORD processId) {
    TProcessResources figures;
    figures.gdiObjects = CountGdiObjects(process);
    figures.userObjects = CountWindows(processId);
    figures.handles = CountHandles(processId);
    figures.threads = CountThreads(processId);
    figures.privateBytes = CountPrivateBytes(process);
    return figures;
}

std::string CheckCountersSeeNewObjects() {
    const DWORD self = GetCurrentProcessId();
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, self);
    if (process == nullptr) return "this process cannot be opened for reading";
    const TProcessResources before = ReadProcessResources(process, self);

    const int kBrushes = 40, kEvents = 10, kThreads = 2;
    const SIZE_T kCommit = 4 << 20;
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < kBrushes; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    std::vector<HANDLE> events;
    for (int i = 0; i < kEvents; ++i) events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TallyhiveSoakCheck";
    RegisterClassW(&wc);
    HWND top = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 5, 5, top, nullptr, wc.hInstance, nullptr);
    HWND message = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back([&] { WaitForSingleObject(events[0], INFINITE); });
    void* memory = VirtualAlloc(nullptr, kCommit, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);

    const TProcessResources during = ReadProcessResources(process, self);

    SetEvent(events[0]);
    for (auto& t : threads) t.join();
    VirtualFree(memory, 0, MEM_RELEASE);
    DestroyWindow(message);
    DestroyWindow(top);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
    for (HANDLE e : events) CloseHandle(e);
    for (HBRUSH b : brushes) DeleteObject(b);
    CloseHandle(process);

    std::string missed;
    if (during.gdiObjects - before.gdiObjects < kBrushes) missed += " GDI objects";
    if (during.userObjects - before.userObjects < 3) missed += " user objects";
    if (during.handles - before.handles < kEvents + kThreads) missed += " handles";
    if (during.threads - before.threads != kThreads) missed += " threads";
    if (during.privateBytes - before.privateBytes < static_cast<long long>(kCommit)) missed += " private bytes";
    if (missed.empty()) return missed;
    return "not seen:" + missed + " (before: " + before.Describe() + "; with new objects: " + during.Describe() + ")";
}
