#include "BoundedLog.h"

namespace engine {

LONGLONG LogFileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

std::string BoundedRecord(const std::string& text) {
    if (text.size() <= kLogRecordBytes) return text;
    // Back over at most three continuation bytes to the lead byte of the character cut in
    // two; text that is no UTF-8 there is cut where it is.
    size_t end = kLogRecordBytes;
    while (end > kLogRecordBytes - 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    if ((static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) end = kLogRecordBytes;
    return text.substr(0, end);
}

bool AppendWithinBound(HANDLE file, const std::string& line, const std::string& stopLine) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart >= kLogFileBytes) return false;
    std::string lines = line + "\n";
    if (size.QuadPart + static_cast<LONGLONG>(lines.size()) >= kLogFileBytes) lines += stopLine + "\n";
    DWORD written = 0;
    WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    return true;
}

void RecentRecords::Add(std::string record) {
    bytes_ += record.size();
    records_.push_back(std::move(record));
    while (!records_.empty() && (records_.size() > maxCount_ || bytes_ > maxBytes_)) {
        bytes_ -= records_.front().size();
        records_.pop_front();
    }
}

void RecentRecords::Clear() {
    records_.clear();
    bytes_ = 0;
}

}  // namespace engine
