// Address helpers of the loader: schemes, fragments, relative addresses, data: URLs.
#pragma once

#include <string>

namespace engine {

// The scheme in lower case; empty when the text has none.
std::string UrlScheme(const std::string& url);
// The address without its "#fragment", which is never sent to a server.
std::string WithoutFragment(const std::string& url);
// target read relative to base, as a link in the page at base would be.
std::string ResolveUrl(const std::string& base, const std::string& target);
// The media type, charset and bytes of a data: URL; false when it is malformed.
bool DecodeDataUrl(const std::string& url, std::string& mimeType, std::string& charset, std::string& body);
// The path of a file: URL (on a share when it names a host), percent-decoded, with
// backslashes.
std::wstring FilePathOfUrl(const std::string& url);
std::string PercentDecode(const std::string& text);

}  // namespace engine
