#include "SkinFile.h"

#include <memory>

#include "UIManager.h"
#include "XmlDocument.h"
#include "ZipReader.h"

namespace HiveUI {

namespace {

class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CFileHandle() { if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

bool OverLimit(ULONGLONG size, DWORD limit) { return limit != 0 && size > limit; }

ESkinFileResult ReadFromFolder(const wchar_t* name, DWORD limit, std::vector<BYTE>& data) {
    const CUIString path = CPaintManagerUI::GetResourcePath() + name;
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return ESkinFileResult::OpenFailed;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) return ESkinFileResult::ReadFailed;
    if (size.QuadPart == 0) return ESkinFileResult::Empty;
    if (OverLimit(size.QuadPart, limit) || size.QuadPart >= MAXDWORD) return ESkinFileResult::TooLarge;
    data.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &got, nullptr) || got != data.size()) {
        data.clear();
        return ESkinFileResult::ReadFailed;
    }
    return ESkinFileResult::Ok;
}

ESkinFileResult ReadFromArchive(TZipHandle* archive, const wchar_t* name, DWORD limit, std::vector<BYTE>& data) {
    CUIString entryName(name);
    entryName.Replace(L"\\", L"/");
    int index = -1;
    TZipEntry entry;
    if (CZipReader::FindItem(archive, entryName, true, &index, &entry) != ZIP_OK) return ESkinFileResult::NotFound;
    if (entry.uncompressedSize == 0) return ESkinFileResult::Empty;
    if (OverLimit(entry.uncompressedSize, limit)) return ESkinFileResult::TooLarge;
    data.resize(entry.uncompressedSize);
    DWORD written = 0;
    const DWORD result = CZipReader::UnzipToMemory(archive, index, data.data(), entry.uncompressedSize, &written);
    if (result != ZIP_OK && result != ZIP_ERR_MORE) {
        data.clear();
        return ESkinFileResult::UnzipFailed;
    }
    data.resize(written);
    return ESkinFileResult::Ok;
}

}  // namespace

ESkinFileResult ReadSkinFile(const wchar_t* name, DWORD limit, std::vector<BYTE>& data) {
    data.clear();
    if (name == nullptr) return ESkinFileResult::OpenFailed;
    if (CPaintManagerUI::GetResourceZip().IsEmpty()) return ReadFromFolder(name, limit, data);
    if (CPaintManagerUI::IsCachedResourceZip()) {
        TZipHandle* cached = CPaintManagerUI::GetResourceZipHandle();
        if (cached == nullptr) return ESkinFileResult::ZipOpenFailed;
        return ReadFromArchive(cached, name, limit, data);
    }
    const CUIString zipPath = CPaintManagerUI::GetResourcePath() + CPaintManagerUI::GetResourceZip();
    std::unique_ptr<char[]> password(WideToMultiByte(CPaintManagerUI::GetResourceZipPassword(), CP_ACP));
    CZipHandleGuard archive(CZipReader::OpenFromFile(zipPath, password.get()));
    if (archive.Get() == nullptr) return ESkinFileResult::ZipOpenFailed;
    return ReadFromArchive(archive.Get(), name, limit, data);
}

}  // namespace HiveUI
