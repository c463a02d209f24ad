#include "TextConvert.h"

#include <windows.h>

#include <clocale>
#include <cstdlib>
#include <mutex>
#include <vector>

// The locale is process-wide: the lock keeps two conversions from switching it under
// each other, and it is switched back before anything else runs.
std::wstring GbkToWide(const std::string& text) {
    static std::mutex localeLock;
    std::vector<wchar_t> buffer(text.size() + 1, L'\0');
    size_t converted;
    {
        std::lock_guard<std::mutex> lock(localeLock);
        std::setlocale(LC_ALL, "chs");
        converted = std::mbstowcs(buffer.data(), text.c_str(), text.size() + 1);
        std::setlocale(LC_ALL, "C");
    }
    if (converted == static_cast<size_t>(-1)) return std::wstring();
    return std::wstring(buffer.data(), converted);
}

namespace {

std::wstring CodePageToWide(const char* bytes, size_t count) {
    if (count == 0) return std::wstring();
    const int size = static_cast<int>(count);
    const int len = MultiByteToWideChar(CP_ACP, 0, bytes, size, nullptr, 0);
    if (len <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(len), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, bytes, size, &wide[0], len) != len) return std::wstring();
    return wide;
}

}  // namespace

std::wstring AnsiToWide(const std::string& text) {
    std::wstring wide = CodePageToWide(text.data(), text.size());
    if (!wide.empty() && wide[0] == 0xFEFF) wide.erase(0, 1);
    return wide;
}

std::wstring AnsiToWideByValue(const std::string& text) {
    return CodePageToWide(text.c_str(), std::char_traits<char>::length(text.c_str()));
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}
