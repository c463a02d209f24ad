#include "Folders.h"

#include <windows.h>

namespace engine {

bool CreateFolderTree(const std::wstring& path) {
    std::wstring folder = path;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    if (folder.empty()) return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t slash = folder.find_last_of(L"\\/");
    // A drive root ("C:") has no parent to create.
    if (slash != std::wstring::npos && slash > 2) CreateFolderTree(folder.substr(0, slash));
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace engine
