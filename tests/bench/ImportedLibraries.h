// The DLLs an executable imports at load time, read from its import directory: the
// start-up benchmarks' baselines load the same set as the program they stand beside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Bench {

inline std::vector<std::wstring> ImportedLibraries(const std::wstring& exe) {
    std::vector<std::wstring> names;
    HANDLE file = CreateFileW(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return names;
    // Mapped as an image, an RVA is an offset from the view's start.
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
    const BYTE* base = mapping != nullptr ? static_cast<const BYTE*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))
                                          : nullptr;
    if (base != nullptr) {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
            const char* name = reinterpret_cast<const char*>(base + entry->Name);
            names.emplace_back(name, name + strlen(name));
        }
        UnmapViewOfFile(base);
    }
    if (mapping != nullptr) CloseHandle(mapping);
    CloseHandle(file);
    return names;
}

// The names as one command line tail, each after a blank.
inline std::wstring JoinedLibraries(const std::vector<std::wstring>& names) {
    std::wstring joined;
    for (const std::wstring& name : names) joined += L" " + name;
    return joined;
}

}  // namespace Bench
