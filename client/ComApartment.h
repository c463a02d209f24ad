// COM and OLE for the client's main thread: windows that take drops and host ActiveX
// objects need OLE, which only a single-threaded apartment can have.
#pragma once

// True when OLE is ready; COM itself is initialised either way.
bool InitComAndOle();
void UninitComAndOle(bool oleReady);
