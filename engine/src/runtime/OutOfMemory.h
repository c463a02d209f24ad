// An allocation that fails gives up the work that asked for it, not the process.
#pragma once

namespace engine {

// The one line of the engine log that says which work was given up. It cannot fail in
// turn, however little memory is left.
void LogOutOfMemory(const char* work) noexcept;

}  // namespace engine
