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

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int len = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (len <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(len), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], len) != len) return std::wstring();
    if (!wide.empty() && wide[0] == 0xFEFF) wide.erase(0, 1);
    return wide;
}
