// Conversions of 8-bit texts (GBK, the system code page) to UTF-16, for both programs.
#pragma once

#include <string>

// GBK bytes to UTF-16; an invalid sequence gives an empty string.
std::wstring GbkToWide(const std::string& text);
// Exactly the bytes of text in the system code page to UTF-16, without a leading U+FEFF.
std::wstring AnsiToWide(const std::string& text);
