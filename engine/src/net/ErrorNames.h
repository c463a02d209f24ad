// The names of the engine's network error codes, as load errors report them.
#pragma once

namespace engine {

// "ERR_NAME_NOT_RESOLVED" for -105; "ERR_FAILED" for a code without a name here.
const char* ErrorName(int code);

}  // namespace engine
