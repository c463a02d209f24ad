// What another process holds, read from outside it under Wine, where GetGuiResources
// answers 0, GetProcessHandleCount answers 0 and the memory counters leave private
// bytes at 0: each figure is counted per object instead.
#pragma once

#include <windows.h>

#include <string>

struct TProcessResources {
    long gdiObjects = -1;    // live entries of the process's GDI handle table
    long userObjects = -1;   // its windows: top-level, children and message-only
    long handles = -1;       // kernel handles it owns, from the system handle list
    long threads = -1;       // from a thread snapshot
    long long privateBytes = -1;  // committed private memory, region by region

    std::string Describe() const;
};

// Each figure of the process, -1 where it cannot be read.
TProcessResources ReadProcessResources(HANDLE process, DWORD processId);

// Makes objects of each kind in this process and reads it from outside again: the text
// of the first counter that did not see them, or empty when every counter did.
std::string CheckCountersSeeNewObjects();
