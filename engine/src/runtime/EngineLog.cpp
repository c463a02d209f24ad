#include "EngineLog.h"

#include <windows.h>

#include <cstdio>
#include <deque>
#include <mutex>

namespace engine {
namespace {

std::mutex g_mutex;
HANDLE g_file = INVALID_HANDLE_VALUE;
cef_log_severity_t g_threshold = LOGSEVERITY_INFO;
std::deque<std::string> g_recent;
const size_t kRecentLines = 200;

const char* SeverityName(cef_log_severity_t severity) {
    switch (severity) {
    case LOGSEVERITY_VERBOSE: return "VERBOSE";
    case LOGSEVERITY_INFO: return "INFO";
    case LOGSEVERITY_WARNING: return "WARNING";
    case LOGSEVERITY_ERROR: return "ERROR";
    default: return "FATAL";
    }
}

}  // namespace

void EngineLog::Open(const std::wstring& path, cef_log_severity_t severity) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_file != INVALID_HANDLE_VALUE) CloseHandle(g_file);
    g_file = INVALID_HANDLE_VALUE;
    g_threshold = severity == LOGSEVERITY_DEFAULT ? LOGSEVERITY_INFO : severity;
    if (path.empty() || severity == LOGSEVERITY_DISABLE) return;
    // Append-only access keeps the lines of several processes whole.
    g_file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void EngineLog::Close() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_file != INVALID_HANDLE_VALUE) CloseHandle(g_file);
    g_file = INVALID_HANDLE_VALUE;
}

void EngineLog::Write(cef_log_severity_t severity, const std::string& text) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (severity < g_threshold) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char prefix[96];
    std::snprintf(prefix, sizeof(prefix), "[%lu:%lu:%02u%02u/%02u%02u%02u.%03u:%s] ", GetCurrentProcessId(),
                  GetCurrentThreadId(), t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                  SeverityName(severity));
    const std::string line = prefix + text + "\n";
    g_recent.push_back(prefix + text);
    if (g_recent.size() > kRecentLines) g_recent.pop_front();
    if (g_file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(g_file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::vector<std::string> EngineLog::RecentLines() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return std::vector<std::string>(g_recent.begin(), g_recent.end());
}

}  // namespace engine
