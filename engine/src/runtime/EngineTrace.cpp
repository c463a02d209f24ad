#include "EngineTrace.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "BoundedLog.h"
#include "HandleOwner.h"
#include "tallyhive/engine_testing.h"

namespace engine {
namespace {

// Memory keeps the latest records, each cut as in the file (BoundedLog.h). A page calling
// the bridge in a loop for hours then costs a fixed amount. The file stops growing at its
// bound and from then on nothing is appended, by this run or a later one, until the file
// is deleted: readers count the file's lines from its start, so it is never started again
// under them.
const size_t kKeptRecords = 1024;
const char kStopLine[] = "trace stopped: the file reached its bound of 8 MiB; delete it to trace again";
// Page copies go round a ring of file names, so at most that many are on disk, the
// latest pages; a record's copy is overwritten once that many pages have come after it.
// A page is copied up to the size bound (its whole length stays in the record), and not
// at all once the file has stopped, since no record would name the copy.
const unsigned kPageCopies = 16;
const size_t kPageCopyBytes = 1 << 20;

std::mutex g_mutex;
RecentRecords g_records(kKeptRecords, kKeptRecords * kLogRecordBytes);
std::atomic<unsigned> g_pageCopies{0};

std::wstring TracePath() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD len = GetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", path, MAX_PATH + 1);
    return (len > 0 && len <= MAX_PATH) ? std::wstring(path, len) : std::wstring();
}

std::string Utf8(const std::wstring& text) {
    const int len = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len > 0 ? len : 0), '\0');
    if (len > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], len, nullptr, nullptr);
    return out;
}

void AppendToFile(const std::wstring& path, const std::string& record) {
    // Opened per line with append-only access: sub-processes write to the same file.
    KernelHandle file(OpenedFile(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (file.get() == nullptr) return;
    const std::string prefix = "[" + std::to_string(GetCurrentProcessId()) + "] ";
    AppendWithinBound(file.get(), prefix + record, prefix + kStopLine);
}

bool Stopped(const std::wstring& path) { return LogFileSize(path) >= kLogFileBytes; }

}  // namespace

void Trace(const std::string& text) {
    // Without the setting nothing is kept or written: the product pays one look-up.
    const std::wstring path = TracePath();
    if (path.empty()) return;
    const std::string record = BoundedRecord(text);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_records.Add(record);
    AppendToFile(path, record);
}

std::string CopyPageBesideTrace(const std::string& text) {
    const std::wstring path = TracePath();
    if (path.empty() || Stopped(path)) return std::string();
    const unsigned slot = g_pageCopies++ % kPageCopies + 1;
    const std::wstring copy = path + L".page" + std::to_wstring(slot) + L".html";
    KernelHandle file(OpenedFile(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (file.get() == nullptr) return std::string();
    const DWORD length = static_cast<DWORD>(text.size() < kPageCopyBytes ? text.size() : kPageCopyBytes);
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), length, &written, nullptr) || written != length) return std::string();
    return Utf8(copy);
}

}  // namespace engine

namespace engine_testing {

std::vector<std::string> TraceRecords() {
    std::lock_guard<std::mutex> lock(engine::g_mutex);
    return engine::g_records.All();
}

void ClearTraceRecords() {
    std::lock_guard<std::mutex> lock(engine::g_mutex);
    engine::g_records.Clear();
}

}  // namespace engine_testing
