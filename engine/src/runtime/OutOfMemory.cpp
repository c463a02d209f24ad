#include "OutOfMemory.h"

#include <string>

#include "EngineLog.h"

namespace engine {

void LogOutOfMemory(const char* work) noexcept {
    try {
        EngineLog::Write(LOGSEVERITY_ERROR, std::string("out of memory: ") + work + " was given up");
    } catch (...) {
        // Not even the line could be had; the work is given up all the same.
    }
}

}  // namespace engine
