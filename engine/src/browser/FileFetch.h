// A file: address read as a fetch is: on the fetch's worker thread, since a device or a
// share may keep a read waiting, and within the fetch's bound, since a device may never end.
#pragma once

#include <string>

#include "Fetcher.h"

namespace engine {

// The file's bytes as the body (status 0, as a local file has no response). -6 when it
// cannot be opened, -8 when it is, or turns out, longer than maxBytes (0: no bound), -3
// once the job is canceled, -2 when a read fails.
FetchResult ReadFileUrl(const std::string& url, const FetchJob& job, size_t maxBytes);

}  // namespace engine
