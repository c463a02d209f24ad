// The engine's verbose log, asked for from the environment: when TALLYHIVE_ENGINE_TRACE
// names a file, one line per call of interest is appended to it and the text of each
// page loaded from a string is copied beside it; without that setting nothing is
// recorded. Both are bounded, so a page that loops costs a fixed amount of disk.
#pragma once

#include <string>

namespace engine {

// text is UTF-8.
void Trace(const std::string& text);

// Copies a page's text (UTF-8) beside the trace file and returns the copy's path in
// UTF-8, for the trace line that names it; empty when no trace is asked for or the copy
// could not be written.
std::string CopyPageBesideTrace(const std::string& text);

}  // namespace engine
