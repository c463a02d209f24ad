// The client's HTTP transfers on libcurl's easy interface, each on a handle of its own.
#pragma once

#include <string>

// Largest body HttpDownloadFile keeps: voice prompts are short, and the URL comes from
// a web page.
const long long kMaxDownloadBytes = 16ll * 1024 * 1024;

// Downloads url (http or https only, at most one redirect) into file, a path in the
// system code page. True when the file holds the whole body of a 200 reply; otherwise
// the file is deleted and the failure logged.
bool HttpDownloadFile(const std::string& url, const std::string& file);
