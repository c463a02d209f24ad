// Ending running copies of the installed client before its files are deleted.
#pragma once

#include <string>

// Ends every process whose program file name is exeName (letter case ignored) and whose
// program file lies inside installFolder, except this process, and waits a bounded time
// for each one it terminated. A process of that name elsewhere (a damaged record could
// name the shell's) is left alone. True when all of them have ended; an empty name ends
// nothing.
bool EndProcessesNamed(const std::wstring& exeName, const std::wstring& installFolder);
