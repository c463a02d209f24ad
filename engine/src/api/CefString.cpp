#include "include/internal/cef_string.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

static void FreeOwned(char16* str) { std::free(str); }

int cef_string_utf16_set(const char16* src, size_t src_len, cef_string_utf16_t* output, int copy) {
    cef_string_utf16_clear(output);
    if (src == nullptr || src_len == 0) return 1;
    if (!copy) {
        output->str = const_cast<char16*>(src);
        output->length = src_len;
        return 1;
    }
    char16* buffer = static_cast<char16*>(std::malloc((src_len + 1) * sizeof(char16)));
    if (buffer == nullptr) return 0;
    std::memcpy(buffer, src, src_len * sizeof(char16));
    buffer[src_len] = 0;
    output->str = buffer;
    output->length = src_len;
    output->dtor = FreeOwned;
    return 1;
}

void cef_string_utf16_clear(cef_string_utf16_t* str) {
    if (str->dtor != nullptr && str->str != nullptr) str->dtor(str->str);
    str->str = nullptr;
    str->length = 0;
    str->dtor = nullptr;
}

int cef_string_wide_to_utf16(const wchar_t* src, size_t src_len, cef_string_utf16_t* output) {
    return cef_string_utf16_set(src, src_len, output, 1);
}

// Invalid UTF-8 sequences become U+FFFD, as the engine's converters do.
int cef_string_utf8_to_utf16(const char* src, size_t src_len, cef_string_utf16_t* output) {
    if (src == nullptr || src_len == 0) return cef_string_utf16_set(nullptr, 0, output, 1);
    const int len = MultiByteToWideChar(CP_UTF8, 0, src, static_cast<int>(src_len), nullptr, 0);
    if (len <= 0) return cef_string_utf16_set(nullptr, 0, output, 1);
    std::wstring wide(static_cast<size_t>(len), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, src, static_cast<int>(src_len), &wide[0], len);
    return cef_string_utf16_set(wide.data(), wide.size(), output, 1);
}

CefString::CefString() : string_(nullptr), owner_(false) {}

CefString::CefString(const CefString& other) : CefString() { *this = other; }

CefString::CefString(const std::string& utf8) : CefString() { FromString(utf8); }

CefString::CefString(const char* utf8) : CefString() {
    if (utf8 != nullptr) FromString(std::string(utf8));
}

CefString::CefString(const std::wstring& wide) : CefString() { FromWString(wide); }

CefString::CefString(const wchar_t* wide) : CefString() {
    if (wide != nullptr) FromString(wide, std::wcslen(wide), true);
}

CefString::CefString(const cef_string_t* attached) : string_(const_cast<cef_string_t*>(attached)), owner_(false) {}

CefString::~CefString() {
    if (owner_) {
        cef_string_utf16_clear(string_);
        delete string_;
    }
}

CefString& CefString::operator=(const CefString& other) {
    if (this != &other) FromString(other.c_str(), other.length(), true);
    return *this;
}

CefString& CefString::operator=(const std::string& utf8) {
    FromString(utf8);
    return *this;
}

CefString& CefString::operator=(const char* utf8) { return *this = std::string(utf8 ? utf8 : ""); }

CefString& CefString::operator=(const std::wstring& wide) {
    FromWString(wide);
    return *this;
}

CefString& CefString::operator=(const wchar_t* wide) { return *this = std::wstring(wide ? wide : L""); }

const char16* CefString::c_str() const {
    static const char16 kEmpty[1] = {0};
    return (string_ != nullptr && string_->str != nullptr) ? string_->str : kEmpty;
}

size_t CefString::length() const { return string_ != nullptr ? string_->length : 0; }

void CefString::clear() {
    if (string_ != nullptr) cef_string_utf16_clear(string_);
}

std::string CefString::ToString() const {
    if (empty()) return std::string();
    const int len = WideCharToMultiByte(CP_UTF8, 0, c_str(), static_cast<int>(length()), nullptr, 0,
                                        nullptr, nullptr);
    if (len <= 0) return std::string();
    std::string utf8(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, c_str(), static_cast<int>(length()), &utf8[0], len, nullptr, nullptr);
    return utf8;
}

std::wstring CefString::ToWString() const { return std::wstring(c_str(), length()); }

bool CefString::FromString(const std::string& utf8) {
    return cef_string_utf8_to_utf16(utf8.data(), utf8.size(), Writable()) != 0;
}

bool CefString::FromWString(const std::wstring& wide) { return FromString(wide.data(), wide.size(), true); }

bool CefString::FromString(const char16* src, size_t len, bool copy) {
    // Copy first: src may point into this very string.
    cef_string_t fresh = {nullptr, 0, nullptr};
    if (!cef_string_utf16_set(src, len, &fresh, copy ? 1 : 0)) return false;
    cef_string_t* target = Writable();
    cef_string_utf16_clear(target);
    *target = fresh;
    return true;
}

int CefString::compare(const CefString& other) const {
    const size_t n = length() < other.length() ? length() : other.length();
    for (size_t i = 0; i < n; ++i) {
        if (c_str()[i] != other.c_str()[i]) return c_str()[i] < other.c_str()[i] ? -1 : 1;
    }
    if (length() == other.length()) return 0;
    return length() < other.length() ? -1 : 1;
}

cef_string_t* CefString::GetWritableStruct() { return Writable(); }

cef_string_t* CefString::Writable() {
    if (string_ == nullptr) {
        string_ = new cef_string_t{nullptr, 0, nullptr};
        owner_ = true;
    }
    return string_;
}
