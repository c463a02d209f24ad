#include "FileFetch.h"

#include <windows.h>

#include <vector>

#include "HandleOwner.h"
#include "Url.h"

namespace engine {
namespace {

const DWORD kReadBytes = 64u << 10;

}  // namespace

FetchResult ReadFileUrl(const std::string& url, const FetchJob& job, size_t maxBytes) {
    const KernelHandle file(OpenedFile(CreateFileW(FilePathOfUrl(url).c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (file.get() == nullptr) return FetchResult::Failed(-6);
    FetchResult result;
    // A file that says how long it is fails at once when that is too long; a device says 0.
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size)) size.QuadPart = 0;
    if (maxBytes != 0 && static_cast<unsigned long long>(size.QuadPart) > maxBytes) return FetchResult::Failed(-8);
    if (size.QuadPart > 0) result.body.reserve(static_cast<size_t>(size.QuadPart));
    std::vector<char> buffer(kReadBytes);
    for (;;) {
        if (job.Canceled()) return FetchResult::Failed(-3);
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), kReadBytes, &read, nullptr)) return FetchResult::Failed(-2);
        if (read == 0) return result;
        if (!AppendWithin(result.body, buffer.data(), read, maxBytes)) return FetchResult::Failed(-8);
    }
}

}  // namespace engine
