// Files for tests: paths below the run's temporary folder and the user's data folder,
// read and written whole.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace TestFiles {

// A Unix path (of the machine Wine runs on) as a Windows path; a relative one is taken
// from the current folder, which Wine starts a program in as the shell's.
inline std::wstring UnixPath(const char* unixPath) {
    std::wstring path = unixPath[0] == '/' ? L"\\\\?\\unix" : L"";
    for (const char* p = unixPath; *p; ++p) path += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// The run's temporary folder (TALLYHIVE_TEST_TMP, a Unix path) as a Windows path.
inline std::wstring TempFolder() {
    const char* tmp = getenv("TALLYHIVE_TEST_TMP");
    return UnixPath(tmp != nullptr ? tmp : "/tmp") + L"\\";
}

// The user's local application data folder, with a trailing backslash.
inline std::wstring LocalAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::wstring(path) + L"\\";
}

// The whole file; empty when it cannot be read.
inline std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool Write(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace TestFiles
