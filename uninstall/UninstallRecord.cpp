#include "UninstallRecord.h"

#include <windows.h>
#include <shlobj.h>

#include <cwctype>
#include <vector>

namespace {

const wchar_t kSection[] = L"uninstall";
// The profile reader stops at this many characters; a value that fills them may be cut.
const DWORD kValueLimit = 255;

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// False for a missing or empty value and for one that filled the reader's buffer.
bool ReadValue(const std::wstring& datPath, const wchar_t* key, std::wstring& value) {
    wchar_t buffer[kValueLimit + 1] = {};
    const DWORD length = GetPrivateProfileStringW(kSection, key, L"", buffer, kValueLimit + 1, datPath.c_str());
    if (length >= kValueLimit) return false;
    value = Trimmed(std::wstring(buffer, length));
    return !value.empty();
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

// path is folder itself or lies below it.
bool IsSameOrBelow(const std::wstring& path, const std::wstring& folder) {
    if (path.size() < folder.size() || _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) != 0) return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

std::wstring WithoutTrailingSlashes(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

// The absolute long form, so that short (8.3) names compare equal to long ones.
std::wstring CanonicalPath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    wchar_t longer[MAX_PATH] = {};
    const DWORD longLength = GetLongPathNameW(full, longer, MAX_PATH);
    return WithoutTrailingSlashes(longLength > 0 && longLength < MAX_PATH ? longer : full);
}

// Folders whose removal would harm the system or the user's own files.
std::vector<std::wstring> GuardedFolders() {
    static const int kFolders[] = {
        CSIDL_WINDOWS,         CSIDL_SYSTEM,          CSIDL_SYSTEMX86,           CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_PROFILE,
        CSIDL_APPDATA,         CSIDL_LOCAL_APPDATA,   CSIDL_COMMON_APPDATA,      CSIDL_DESKTOPDIRECTORY,
        CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS,   CSIDL_STARTMENU,
        CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS,       CSIDL_COMMON_PROGRAMS,     CSIDL_STARTUP,
        CSIDL_COMMON_STARTUP,  CSIDL_FONTS,           CSIDL_MYPICTURES,          CSIDL_MYMUSIC,
        CSIDL_MYVIDEO,         CSIDL_TEMPLATES,       CSIDL_INTERNET_CACHE,
    };
    std::vector<std::wstring> folders;
    for (const int id : kFolders) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path)) && path[0] != L'\0') {
            folders.push_back(CanonicalPath(path));
        }
    }
    wchar_t temp[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, temp) > 0) folders.push_back(CanonicalPath(temp));
    return folders;
}

bool HasOnlyPathCharacters(const std::wstring& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        // '"' and '%' would let the removal command run more than rmdir; ':' past the
        // drive names a stream; wildcards would widen the removal.
        if (c < 32 || wcschr(L"\"%*?<>|/", c) != nullptr || (c == L':' && i != 1)) return false;
    }
    return true;
}

}  // namespace

bool IsSafeName(const std::wstring& name) {
    if (name.empty() || name.find_first_not_of(L'.') == std::wstring::npos) return false;
    for (const wchar_t c : name) {
        if (c < 32 || wcschr(L"\\/:*?\"<>|", c) != nullptr) return false;
    }
    return true;
}

bool IsSafeInstallPath(const std::wstring& path, const std::wstring& programPath) {
    // Drive-absolute and longer than a drive root.
    if (path.size() < 4 || !iswalpha(path[0]) || path[1] != L':' || path[2] != L'\\') return false;
    if (!HasOnlyPathCharacters(path)) return false;
    const std::wstring stripped = WithoutTrailingSlashes(path);
    if (stripped.size() <= 3) return false;
    // A "." or ".." component or a doubled separator changes the path when it is resolved.
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(stripped.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || !EqualNoCase(WithoutTrailingSlashes(full), stripped)) return false;
    const std::wstring canonical = CanonicalPath(stripped);
    if (canonical.size() <= 3) return false;
    for (const std::wstring& guarded : GuardedFolders()) {
        if (!guarded.empty() && IsSameOrBelow(guarded, canonical)) return false;
    }
    const std::wstring program = CanonicalPath(programPath);
    return program.size() > canonical.size() && IsSameOrBelow(program, canonical);
}

bool ReadUninstallRecord(const std::wstring& datPath, const std::wstring& programPath, UninstallRecord& record) {
    if (!ReadValue(datPath, L"install_reg_name", record.installRegName) || !IsSafeName(record.installRegName)) {
        return false;
    }
    if (!ReadValue(datPath, L"install_path", record.installPath) ||
        !IsSafeInstallPath(record.installPath, programPath)) {
        return false;
    }
    // The long form, so that the folder's listing and the running program's path compare.
    record.installPath = CanonicalPath(record.installPath);
    if (!ReadValue(datPath, L"uninstall_name", record.uninstallName) || !IsSafeName(record.uninstallName)) {
        return false;
    }
    // Optional: an empty value ends no process, but a cut-off one names the wrong file.
    wchar_t exe[kValueLimit + 1] = {};
    const DWORD length = GetPrivateProfileStringW(kSection, L"install_exe_name", L"", exe, kValueLimit + 1,
                                                  datPath.c_str());
    if (length >= kValueLimit) return false;
    record.installExeName = Trimmed(std::wstring(exe, length));
    return true;
}
