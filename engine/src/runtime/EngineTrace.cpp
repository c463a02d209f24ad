#include "EngineTrace.h"

#include <windows.h>

#include <mutex>
#include <vector>

#include "tallyhive/engine_testing.h"

namespace engine {
namespace {

std::mutex g_mutex;
std::vector<std::string> g_records;

std::wstring TracePath() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD len = GetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", path, MAX_PATH + 1);
    return (len > 0 && len <= MAX_PATH) ? std::wstring(path, len) : std::wstring();
}

}  // namespace

void Trace(const std::string& text) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_records.push_back(text);
    const std::wstring path = TracePath();
    if (path.empty()) return;
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
    return engine::g_records;
}

void ClearTraceRecords() {
    std::lock_guard<std::mutex> lock(engine::g_mutex);
    engine::g_records.clear();
}

}  // namespace engine_testing
