// The names of the engine's network error codes, as the error page shows them.
#pragma once

// The identifier's text, such as "ERR_NAME_NOT_RESOLVED"; "ERR_NONE" for a code the
// client does not know.
const char* NetErrorName(int code);
