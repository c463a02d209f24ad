// The record of engine calls that tests of the whole program read: one line per call
// of interest, appended to the file that TALLYHIVE_ENGINE_TRACE names; without that
// setting nothing is recorded.
#pragma once

#include <string>

namespace engine {

// text is UTF-8.
void Trace(const std::string& text);

}  // namespace engine
