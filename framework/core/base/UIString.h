// CUIString: the framework's UTF-16 string. Texts of up to 62 characters live in an
// inline buffer, longer ones on the heap; the length is never stored.
#pragma once

#include <cstdarg>
#include <cwchar>

namespace HiveUI {

class CUIString {
public:
    enum { kInlineChars = 62, kInlineUnits = 64 };

    CUIString();
    CUIString(wchar_t ch);
    CUIString(const wchar_t* text, int length = -1);
    CUIString(const CUIString& other);
    ~CUIString();

    int GetLength() const;
    const wchar_t* GetData() const { return m_data; }
    operator const wchar_t*() const { return m_data; }

    int Assign(const wchar_t* text, int length = -1);
    void Append(const wchar_t* text);
    bool IsEmpty() const { return m_data[0] == L'\0'; }
    void Empty();
    wchar_t GetAt(int index) const { return m_data[index]; }
    wchar_t operator[](int index) const { return m_data[index]; }

    const CUIString& operator=(const CUIString& other);
    const CUIString& operator=(const wchar_t* text);
    const CUIString& operator=(wchar_t ch);

    CUIString operator+(const CUIString& other) const;
    CUIString operator+(const wchar_t* text) const;

    const CUIString& operator+=(const CUIString& other);
    const CUIString& operator+=(const wchar_t* text);
    const CUIString& operator+=(wchar_t ch);

    bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
    bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
    bool operator<(const wchar_t* text) const { return Compare(text) < 0; }

    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;
    void MakeLower();

    CUIString Left(int count) const;
    CUIString Mid(int pos, int length = -1) const;
    CUIString Right(int count) const;

    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int Replace(const wchar_t* from, const wchar_t* to);

    int __cdecl Format(const wchar_t* format, ...);
    int __cdecl SmallFormat(const wchar_t* format, ...);
    int FormatV(const wchar_t* format, va_list args);

private:
    bool IsInline() const { return m_data == m_buffer; }

    wchar_t* m_data;
    wchar_t m_buffer[kInlineUnits];
};

}  // namespace HiveUI
