// The engine's own log file (settings' log_file), filtered by log_severity and bounded
// like the trace: each line cut, the file stopped at a size.
#pragma once

#include <string>
#include <vector>

#include "include/internal/cef_types.h"

namespace engine {

class EngineLog {
public:
    // An empty path or LOGSEVERITY_DISABLE keeps the log closed.
    static void Open(const std::wstring& path, cef_log_severity_t severity);
    static void Close();
    // Lines below the threshold, or written while the log is closed, are dropped.
    static void Write(cef_log_severity_t severity, const std::string& text);
    // The last lines written, oldest first, within a count and a size, for the
    // developer-tools window.
    static std::vector<std::string> RecentLines();
};

}  // namespace engine
