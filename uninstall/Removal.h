// The removal of an installed client that the uninstaller performs after confirmation.
#pragma once

#include <string>

#include "UninstallRecord.h"

// Ends the client, empties the install folder and deletes the shortcuts, the start-menu
// folder and the registry keys. True when everything is gone (what was already missing
// counts as removed); programPath, the running uninstaller, is left for the final step.
bool RemoveInstallation(const UninstallRecord& record, const std::wstring& programPath);
