#include "EngineTrace.h"

#include <windows.h>

#include <deque>
#include <mutex>
#include <vector>

#include "tallyhive/engine_testing.h"

namespace engine {
namespace {

// What is kept in memory while a trace is asked for: the latest records, each cut to a
// length that any record of interest fits in, so that a page calling the bridge in a
// loop for hours costs a fixed amount; the file gets every record whole.
const size_t kKeptRecords = 1024;
const size_t kKeptLength = 2048;

std::mutex g_mutex;
std::deque<std::string> g_records;

std::wstring TracePath() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD len = GetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", path, MAX_PATH + 1);
    return (len > 0 && len <= MAX_PATH) ? std::wstring(path, len) : std::wstring();
}

}  // namespace

void Trace(const std::string& text) {
    // Without the setting nothing is kept or written: the product pays one look-up.
    const std::wstring path = TracePath();
    if (path.empty()) return;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_records.size() == kKeptRecords) g_records.pop_front();
    g_records.push_back(text.substr(0, kKeptLength));
    // Opened per line with append-only access: sub-processes write to the same file.
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string line = "[" + std::to_string(GetCurrentProcessId()) + "] " + text + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace engine

namespace engine_testing {

std::vector<std::string> TraceRecords() {
    std::lock_guard<std::mutex> lock(engine::g_mutex);
    return std::vector<std::string>(engine::g_records.begin(), engine::g_records.end());
}

void ClearTraceRecords() {
    std::lock_guard<std::mutex> lock(engine::g_mutex);
    engine::g_records.clear();
}

}  // namespace engine_testing
