#include "FolderRemoval.h"

#include <windows.h>
#include <shellapi.h>

#include "ScopedHandle.h"

using HiveUI::CScopedFindHandle;

namespace {

bool IsGone() {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// A read-only file would otherwise survive DeleteFile and stay behind.
bool DeleteOneFile(const std::wstring& path, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return DeleteFileW(path.c_str()) || IsGone();
}

// A folder link is removed as a folder entry; its target is untouched.
bool RemoveLink(const std::wstring& path, DWORD attributes) {
    if (IsFolder(attributes)) return RemoveDirectoryW(path.c_str()) || IsGone();
    return DeleteOneFile(path, attributes);
}

bool IsDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

bool IsBelow(const std::wstring& path, const std::wstring& folder) {
    return path.size() > folder.size() && path[folder.size()] == L'\\' &&
           _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
}

}  // namespace

bool RemoveLinksBelow(const std::wstring& folder) {
    WIN32_FIND_DATAW entry = {};
    CScopedFindHandle listing(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!listing.IsValid()) return true;
    bool removed = true;
    do {
        if (IsDotOrDotDot(entry.cFileName)) continue;
        const std::wstring path = folder + L"\\" + entry.cFileName;
        if (IsLink(entry.dwFileAttributes)) {
            removed = RemoveLink(path, entry.dwFileAttributes) && removed;
        } else if (IsFolder(entry.dwFileAttributes)) {
            removed = RemoveLinksBelow(path) && removed;
        }
    } while (FindNextFileW(listing.Get(), &entry));
    return removed;
}

bool DeleteFolderContents(const std::wstring& folder, const std::wstring& keep) {
    WIN32_FIND_DATAW entry = {};
    CScopedFindHandle listing(FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!listing.IsValid()) return IsGone();
    bool removed = true;
    do {
        if (entry.cFileName[0] == L'.') continue;
        const std::wstring path = folder + L"\\" + entry.cFileName;
        bool ok;
        if (IsLink(entry.dwFileAttributes)) {
            ok = RemoveLink(path, entry.dwFileAttributes);
        } else if (IsFolder(entry.dwFileAttributes)) {
            // The folder holding the running uninstaller cannot go yet: the final removal takes it.
            ok = DeleteFolderByShell(path) || (!keep.empty() && IsBelow(keep, path));
        } else {
            ok = DeleteOneFile(path, entry.dwFileAttributes) || (!keep.empty() && SamePath(path, keep));
        }
        removed = ok && removed;
    } while (FindNextFileW(listing.Get(), &entry));
    return removed;
}

bool DeleteFolderByShell(const std::wstring& path) {
    if (path.empty() || path.size() >= MAX_PATH) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return IsGone();
    if (IsLink(attributes)) return RemoveLink(path, attributes);
    if (IsFolder(attributes) && !RemoveLinksBelow(path)) return false;
    // The shell takes a list of paths ended by an empty one: two terminators.
    wchar_t from[MAX_PATH + 1] = {};
    path.copy(from, path.size());
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
           GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}
