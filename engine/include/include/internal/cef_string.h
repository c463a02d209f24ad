// CefString: the engine's UTF-16 string. It either owns its cef_string_t or writes
// through to one that a settings structure holds, which is how callers fill string
// fields of engine structures in place.
#pragma once

#include <cstddef>
#include <string>

typedef wchar_t char16;

typedef struct _cef_string_utf16_t {
    char16* str;
    size_t length;
    void (*dtor)(char16* str);
} cef_string_utf16_t;

typedef cef_string_utf16_t cef_string_t;

// Replaces the contents of output with a copy of src (copy != 0) or with src itself.
int cef_string_utf16_set(const char16* src, size_t src_len, cef_string_utf16_t* output, int copy);
void cef_string_utf16_clear(cef_string_utf16_t* str);
int cef_string_utf8_to_utf16(const char* src, size_t src_len, cef_string_utf16_t* output);
int cef_string_wide_to_utf16(const wchar_t* src, size_t src_len, cef_string_utf16_t* output);

class CefString {
public:
    CefString();
    CefString(const CefString& other);
    CefString(const std::string& utf8);
    CefString(const char* utf8);
    CefString(const std::wstring& wide);
    CefString(const wchar_t* wide);
    // Attaches to a string owned elsewhere; assignments write into it.
    CefString(const cef_string_t* attached);
    ~CefString();

    CefString& operator=(const CefString& other);
    CefString& operator=(const std::string& utf8);
    CefString& operator=(const char* utf8);
    CefString& operator=(const std::wstring& wide);
    CefString& operator=(const wchar_t* wide);

    const char16* c_str() const;
    size_t length() const;
    size_t size() const { return length(); }
    bool empty() const { return length() == 0; }
    void clear();

    std::string ToString() const;
    std::wstring ToWString() const;
    bool FromString(const std::string& utf8);
    bool FromWString(const std::wstring& wide);
    bool FromString(const char16* src, size_t len, bool copy);

    int compare(const CefString& other) const;
    bool operator<(const CefString& other) const { return compare(other) < 0; }
    bool operator<=(const CefString& other) const { return compare(other) <= 0; }
    bool operator>(const CefString& other) const { return compare(other) > 0; }
    bool operator>=(const CefString& other) const { return compare(other) >= 0; }
    bool operator==(const CefString& other) const { return compare(other) == 0; }
    bool operator!=(const CefString& other) const { return compare(other) != 0; }

    operator std::string() const { return ToString(); }
    operator std::wstring() const { return ToWString(); }

    const cef_string_t* GetStruct() const { return string_; }
    cef_string_t* GetWritableStruct();

private:
    // Creates the owned structure on first write.
    cef_string_t* Writable();

    cef_string_t* string_;
    bool owner_;
};
