// The rule by which a skin file is found: in the skin folder, or as an entry of the
// skin zip archive (the cached open one, or skin folder + zip name opened for the read).
#pragma once

#include <windows.h>

#include <vector>

namespace HiveUI {

enum class ESkinFileResult {
    Ok,
    OpenFailed,      // the file in the skin folder cannot be opened
    Empty,           // the file or entry has no bytes
    TooLarge,        // above the caller's limit
    ReadFailed,      // fewer bytes arrived than the file holds
    ZipOpenFailed,   // no archive to read from
    NotFound,        // the archive has no such entry
    UnzipFailed,     // the entry cannot be extracted
};

// Reads the skin file `name` (relative to the skin) whole into data. A limit of 0 means none.
ESkinFileResult ReadSkinFile(const wchar_t* name, DWORD limit, std::vector<BYTE>& data);

}  // namespace HiveUI
