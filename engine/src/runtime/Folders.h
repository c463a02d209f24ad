// Folder helpers of the engine's file work.
#pragma once

#include <string>

namespace engine {

// Creates path and any missing parents; true when it exists as a folder afterwards.
bool CreateFolderTree(const std::wstring& path);

}  // namespace engine
