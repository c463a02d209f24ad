// UninstallRecord: what the installer wrote into uninstall.dat beside the uninstaller,
// read and checked before anything is deleted. The file is plain text that anyone may
// have edited or damaged, so a value that could point the removal at anything but the
// installed product is refused as a whole.
#pragma once

#include <string>

struct UninstallRecord {
    std::wstring installRegName;
    std::wstring installPath;  // absolute, in long form, without a trailing backslash
    std::wstring uninstallName;
    std::wstring installExeName;  // may be empty: then no process is ended
};

// Reads the record from datPath; false when a required key is missing, empty, cut off
// or unsafe. programPath is the running uninstaller, which must live in the install folder.
bool ReadUninstallRecord(const std::wstring& datPath, const std::wstring& programPath, UninstallRecord& record);

// A name used as one file name and one registry key name.
bool IsSafeName(const std::wstring& name);
// A folder that may be emptied and removed whole: absolute, below a drive root, no system
// or profile folder nor an ancestor of one, holding programPath, and nothing in it that
// the command interpreter would read as more than a path.
bool IsSafeInstallPath(const std::wstring& path, const std::wstring& programPath);
