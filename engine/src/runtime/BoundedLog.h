// What the engine's two logs, its log file and its trace, share to stay bounded whatever a
// page writes: each record is cut to a length that any record of interest fits in, a file
// stops growing at a size with a last line that says so, and memory keeps only the latest
// records, within a count and a total size.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace engine {

const size_t kLogRecordBytes = 2048;
const LONGLONG kLogFileBytes = 8 << 20;

// The size of the file at path; 0 when there is none.
LONGLONG LogFileSize(const std::wstring& path);

// The first kLogRecordBytes of text at most, ending on a whole UTF-8 character.
std::string BoundedRecord(const std::string& text);

// Appends line and a line break to file, opened for appending, unless the file already
// holds kLogFileBytes; the line that reaches that size is followed by stopLine. Other
// processes may append to the same file, so its size, not a count of this one's, decides.
// False when nothing was appended: the file had reached its bound.
bool AppendWithinBound(HANDLE file, const std::string& line, const std::string& stopLine);

class RecentRecords {
public:
    RecentRecords(size_t count, size_t bytes) : maxCount_(count), maxBytes_(bytes) {}
    void Add(std::string record);
    // Oldest first.
    std::vector<std::string> All() const { return std::vector<std::string>(records_.begin(), records_.end()); }
    void Clear();

private:
    const size_t maxCount_;
    const size_t maxBytes_;
    size_t bytes_ = 0;
    std::deque<std::string> records_;
};

}  // namespace engine
