// config.ini in the data folder: the selected server line, the client's only setting.
#pragma once

#include <string>

// Takes the stored index as the selection when it names a line; otherwise keeps it.
void LoadSelectedLine(const std::string& configPath);
void StoreSelectedLine(const std::string& configPath);
