// The skin archive that the client carries among its resources (131, type "ZIPRES").
#pragma once

// Hands the archive to the framework as its skin source; false when the program
// carries none, which leaves the framework without skins.
bool UseSkinArchive();
