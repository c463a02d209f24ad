#include "EngineLog.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <mutex>

#include "BoundedLog.h"
#include "HandleOwner.h"

namespace engine {
namespace {

// A page writes what it likes to the console as often as it likes: each line is cut, the
// file stops at its bound (BoundedLog.h), and the developer tools' lines are held within
// a count and a size.
const size_t kRecentLines = 200;
const size_t kRecentBytes = 64 << 10;
const char kStopText[] = "log stopped: the file reached its bound of 8 MiB; the next run starts it again";

std::mutex g_mutex;
std::unique_ptr<KernelHandle> g_file;
// The file has reached its bound: later lines are not offered to it.
bool g_stopped = false;
cef_log_severity_t g_threshold = LOGSEVERITY_INFO;
RecentRecords g_recent(kRecentLines, kRecentBytes);

const char* SeverityName(cef_log_severity_t severity) {
    switch (severity) {
    case LOGSEVERITY_VERBOSE: return "VERBOSE";
    case LOGSEVERITY_INFO: return "INFO";
    case LOGSEVERITY_WARNING: return "WARNING";
    case LOGSEVERITY_ERROR: return "ERROR";
    default: return "FATAL";
    }
}

std::string Prefix(cef_log_severity_t severity) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char prefix[96];
    std::snprintf(prefix, sizeof(prefix), "[%lu:%lu:%02u%02u/%02u%02u%02u.%03u:%s] ", GetCurrentProcessId(),
                  GetCurrentThreadId(), t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                  SeverityName(severity));
    return prefix;
}

}  // namespace

void EngineLog::Open(const std::wstring& path, cef_log_severity_t severity) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_file.reset();
    g_stopped = false;
    g_threshold = severity == LOGSEVERITY_DEFAULT ? LOGSEVERITY_INFO : severity;
    if (path.empty() || severity == LOGSEVERITY_DISABLE) return;
    // A log that an earlier run filled is started again, so that this run's lines are kept.
    if (LogFileSize(path) >= kLogFileBytes) {
        const KernelHandle emptied(OpenedFile(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                      nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    }
    // Append-only access keeps the lines of several processes whole.
    HANDLE file = OpenedFile(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
    if (file != nullptr) g_file.reset(new KernelHandle(file));
}

void EngineLog::Close() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_file.reset();
}

void EngineLog::Write(cef_log_severity_t severity, const std::string& text) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (severity < g_threshold) return;
    // Only the part of the text that is kept is copied: a page may log megabytes a line.
    std::string line = Prefix(severity) + BoundedRecord(text);
    if (g_file && !g_stopped) g_stopped = !AppendWithinBound(g_file->get(), line, Prefix(LOGSEVERITY_WARNING) + kStopText);
    g_recent.Add(std::move(line));
}

std::vector<std::string> EngineLog::RecentLines() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_recent.All();
}

}  // namespace engine
