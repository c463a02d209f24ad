// Removal of the install folder's contents and of whole folders through the shell.
// Each returns true when what it was given is gone afterwards (already missing counts).
#pragma once

#include <string>

// Deletes every entry of folder except names that begin with "." (left for the final
// removal of the folder). Links (junctions, symbolic links) are removed, never followed.
// keep, when not empty, is a file that may stay (the running uninstaller) without the
// result counting as a failure.
bool DeleteFolderContents(const std::wstring& folder, const std::wstring& keep = std::wstring());

// Deletes path (a folder with everything below it, or a file) with the shell's delete
// operation, without any user interface. Paths of 260 characters or more are refused.
bool DeleteFolderByShell(const std::wstring& path);

// Removes every link below folder (at any depth, dot-names included) as a link, so that
// no later recursive deletion can reach through one into another folder.
bool RemoveLinksBelow(const std::wstring& folder);
