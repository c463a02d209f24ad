#include "WebStaticFiles.h"

#include <memory>
#include <vector>

#include "ScopedHandle.h"
#include "UIManager.h"
#include "UIStringMap.h"
#include "ZipReader.h"

using namespace HiveUI;

const wchar_t* const kWebStaticErrorPage = L"error.html";

namespace {

const int kTableBuckets = 8;
const int kResourceZipInMemory = 4;

CUIStringMap& Table() {
    static CUIStringMap table(kTableBuckets);
    return table;
}

void FreeRecord(TWebStaticRecord* record) {
    if (record == nullptr) return;
    delete[] record->data;
    delete record;
}

}  // namespace

void ClearWebStaticFiles() {
    CUIStringMap& table = Table();
    for (int i = 0; i < table.GetSize(); ++i) {
        FreeRecord(static_cast<TWebStaticRecord*>(table.Find(table.GetAt(i), false)));
    }
    table.Resize(kTableBuckets);
}

TWebStaticRecord* FindOrAddWebStaticEntry() {
    CUIStringMap& table = Table();
    table.Insert(kWebStaticErrorPage, nullptr);
    return static_cast<TWebStaticRecord*>(table.Find(kWebStaticErrorPage, false));
}

void LoadWebStaticFiles() {
    ClearWebStaticFiles();
    FindOrAddWebStaticEntry();
    const auto read = CPaintManagerUI::GetResourceType() == kResourceZipInMemory ? ReadWebStaticFromZip
                                                                                   : ReadWebStaticFromDisk;
    CUIStringMap& table = Table();
    std::vector<CUIString> names;
    for (int i = 0; i < table.GetSize(); ++i) names.push_back(table.GetAt(i));
    for (const CUIString& name : names) {
        std::unique_ptr<TWebStaticRecord> record(new TWebStaticRecord{name, nullptr, 0});
        if (read(name.GetData(), &record->data, &record->size)) table.Set(name.GetData(), record.release());
    }
}

bool ReadWebStaticFromDisk(const wchar_t* name, BYTE** data, DWORD* size) {
    const CUIString path = CPaintManagerUI::GetResourcePath() + L"webstatic/" + name;
    CScopedKernelHandle file(::CreateFileW(path.GetData(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    const DWORD fileSize = ::GetFileSize(file.Get(), nullptr);
    if (fileSize == 0 || fileSize == INVALID_FILE_SIZE) return false;
    std::unique_ptr<BYTE[]> block(new BYTE[fileSize]);
    DWORD read = 0;
    if (!::ReadFile(file.Get(), block.get(), fileSize, &read, nullptr) || read < fileSize) return false;
    *data = block.release();
    *size = fileSize;
    return true;
}

bool ReadWebStaticFromZip(const wchar_t* name, BYTE** data, DWORD* size) {
    TZipHandle* zip = CPaintManagerUI::GetResourceZipHandle();
    if (zip == nullptr) return false;
    CUIString member = CUIString(L"webstatic/") + name;
    member.Replace(L"\\", L"/");
    int index = -1;
    TZipEntry entry = {};
    if (CZipReader::FindItem(zip, member.GetData(), true, &index, &entry) != ZIP_OK || index < 0) return false;
    if (entry.uncompressedSize == 0) return false;
    std::unique_ptr<BYTE[]> block(new BYTE[entry.uncompressedSize]);
    const DWORD result = CZipReader::UnzipToMemory(zip, index, block.get(), entry.uncompressedSize);
    if (result != ZIP_OK && result != ZIP_ERR_MORE) return false;
    *data = block.release();
    *size = entry.uncompressedSize;
    return true;
}

const TWebStaticRecord* FindWebStaticFile(const wchar_t* name) {
    const auto* record = static_cast<const TWebStaticRecord*>(Table().Find(name, false));
    if (record == nullptr || record->data == nullptr || record->size == 0) return nullptr;
    return record;
}
