// The web files the client serves from its own skin instead of the network: read once
// at start-up from the skin's folder "webstatic/" into a process-wide table. After the
// preload the table is only read, so the engine's thread may read it without a lock.
#pragma once

#include <windows.h>

#include "UIString.h"

struct TWebStaticRecord {
    HiveUI::CUIString name;
    BYTE* data;  // the file's bytes as stored, no terminator
    DWORD size;
};

// The name the preload registers.
extern const wchar_t* const kWebStaticErrorPage;

void LoadWebStaticFiles();
void ClearWebStaticFiles();
// The record of "error.html" (null while empty); the name is added when missing.
TWebStaticRecord* FindOrAddWebStaticEntry();
// "webstatic/" + name from the skin folder or the skin zip: a new heap block (delete[])
// and its size, or false with the outputs untouched.
bool ReadWebStaticFromDisk(const wchar_t* name, BYTE** data, DWORD* size);
bool ReadWebStaticFromZip(const wchar_t* name, BYTE** data, DWORD* size);
// The loaded record of name, or null when it is missing or empty.
const TWebStaticRecord* FindWebStaticFile(const wchar_t* name);
