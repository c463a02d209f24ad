// Ending other running copies of the client, matched by executable file name.
#pragma once

// Ends every other process whose executable file name equals this one's, ignoring case.
void KillOtherInstances();
// The same, limited to this process's descendants: the engine's sub-processes that
// are still running, but not a copy that someone started after this one.
void KillOwnSubProcesses();
