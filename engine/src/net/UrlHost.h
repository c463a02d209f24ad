// The host of an http, https or file address, read as a browser reads it.
#pragma once

#include <string>

namespace engine {

// input (the host as written in an address) into its one serialized form: a domain,
// percent-decoded and lower-cased; an IPv4 address however written (0x7f.1 is 127.0.0.1);
// or a bracketed IPv6 address, compressed and in lower case. False when input is none of
// these: a forbidden code point, a number out of range, or a host that is not ASCII
// (written as is or in its xn-- form), which this engine does not read.
bool ReadUrlHost(const std::string& input, std::string& host);

}  // namespace engine
