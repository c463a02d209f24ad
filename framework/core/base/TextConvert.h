// Conversions of 8-bit texts (GBK, the system code page) to UTF-16, for both programs.
#pragma once

#include <string>

// GBK bytes to UTF-16; an invalid sequence gives an empty string.
std::wstring GbkToWide(const std::string& text);
// Exactly the bytes of text in the system code page to UTF-16, without a leading U+FEFF.
std::wstring AnsiToWide(const std::string& text);
// The text up to its first NUL in the system code page to UTF-16; a leading U+FEFF stays.
std::wstring AnsiToWideByValue(const std::string& text);
// Replaces every occurrence of from (not empty) in text, left to right, never inside a
// replacement already made.
void ReplaceAll(std::string& text, const std::string& from, const std::string& to);
