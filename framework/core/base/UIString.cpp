#include "UIString.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>

namespace HiveUI {
namespace {

size_t BytesFor(int length) { return (static_cast<size_t>(length) + 1) * sizeof(wchar_t); }

}  // namespace

CUIString::CUIString() : m_data(m_buffer) { m_buffer[0] = L'\0'; }

CUIString::CUIString(wchar_t ch) : m_data(m_buffer) {
    m_buffer[0] = ch;
    m_buffer[1] = L'\0';
}

CUIString::CUIString(const wchar_t* text, int length) : m_data(m_buffer) {
    m_buffer[0] = L'\0';
    Assign(text, length);
}

CUIString::CUIString(const CUIString& other) : m_data(m_buffer) {
    m_buffer[0] = L'\0';
    Assign(other.m_data);
}

CUIString::~CUIString() {
    if (!IsInline()) free(m_data);
}

int CUIString::GetLength() const { return static_cast<int>(wcslen(m_data)); }

int CUIString::Assign(const wchar_t* text, int length) {
    if (text == nullptr) text = L"";
    if (length < 0) length = static_cast<int>(wcslen(text));
    // A piece of our own heap text must survive the block being freed or moved.
    if (!IsInline() && text >= m_data && text <= m_data + GetLength()) {
        CUIString copy(text, length);
        return Assign(copy.m_data, length);
    }
    if (length > kInlineChars) {
        if (IsInline()) {
            m_data = static_cast<wchar_t*>(malloc(BytesFor(length)));
        } else if (GetLength() < length) {
            m_data = static_cast<wchar_t*>(realloc(m_data, BytesFor(length)));
        }
    } else if (!IsInline()) {
        free(m_data);
        m_data = m_buffer;
    }
    wmemmove(m_data, text, length);
    m_data[length] = L'\0';
    return length;
}

void CUIString::Append(const wchar_t* text) {
    if (text == nullptr) return;
    if (!IsInline() && text >= m_data && text <= m_data + GetLength()) {
        CUIString copy(text);
        Append(copy.m_data);
        return;
    }
    const int current = GetLength();
    const int added = static_cast<int>(wcslen(text));
    const int total = current + added;
    if (total > kInlineChars) {
        if (IsInline()) {
            wchar_t* block = static_cast<wchar_t*>(malloc(BytesFor(total)));
            wmemcpy(block, m_buffer, current + 1);
            m_data = block;
        } else {
            m_data = static_cast<wchar_t*>(realloc(m_data, BytesFor(total)));
        }
    }
    // Inline self-append reads the source while writing behind it; memmove keeps that safe.
    wmemmove(m_data + current, text, added);
    m_data[total] = L'\0';
}

void CUIString::Empty() {
    if (!IsInline()) free(m_data);
    m_data = m_buffer;
    m_buffer[0] = L'\0';
}

const CUIString& CUIString::operator=(const CUIString& other) {
    if (this != &other) Assign(other.m_data);
    return *this;
}

const CUIString& CUIString::operator=(const wchar_t* text) {
    if (text == nullptr) Empty();
    else Assign(text);
    return *this;
}

const CUIString& CUIString::operator=(wchar_t ch) {
    Empty();
    m_buffer[0] = ch;
    m_buffer[1] = L'\0';
    return *this;
}

CUIString CUIString::operator+(const CUIString& other) const {
    CUIString result(*this);
    result.Append(other.m_data);
    return result;
}

CUIString CUIString::operator+(const wchar_t* text) const {
    CUIString result(*this);
    result.Append(text);
    return result;
}

const CUIString& CUIString::operator+=(const CUIString& other) {
    Append(other.m_data);
    return *this;
}

const CUIString& CUIString::operator+=(const wchar_t* text) {
    Append(text);
    return *this;
}

const CUIString& CUIString::operator+=(wchar_t ch) {
    const wchar_t text[2] = {ch, L'\0'};
    Append(text);
    return *this;
}

int CUIString::Compare(const wchar_t* text) const { return wcscmp(m_data, text ? text : L""); }

int CUIString::CompareNoCase(const wchar_t* text) const { return _wcsicmp(m_data, text ? text : L""); }

void CUIString::MakeLower() { _wcslwr(m_data); }

CUIString CUIString::Left(int count) const {
    const int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUIString(m_data, count);
}

CUIString CUIString::Mid(int pos, int length) const {
    const int total = GetLength();
    if (pos < 0) pos = 0;
    if (pos > total) pos = total;
    if (length < 0 || pos + length > total) length = total - pos;
    if (length <= 0) return CUIString();
    return CUIString(m_data + pos, length);
}

CUIString CUIString::Right(int count) const {
    const int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUIString(m_data + length - count, count);
}

int CUIString::Find(wchar_t ch, int start) const {
    if (start != 0 && (start < 0 || start >= GetLength())) return -1;
    const wchar_t* hit = wcschr(m_data + start, ch);
    // wcschr finds the terminator itself when asked for NUL; that is no occurrence.
    return (hit == nullptr || ch == L'\0') ? -1 : static_cast<int>(hit - m_data);
}

int CUIString::Find(const wchar_t* text, int start) const {
    if (start != 0 && (start < 0 || start > GetLength())) return -1;
    // Some C runtimes answer null for an empty text in an empty tail; it is found there.
    if (text == nullptr || text[0] == L'\0') return start;
    const wchar_t* hit = wcsstr(m_data + start, text);
    return hit == nullptr ? -1 : static_cast<int>(hit - m_data);
}

int CUIString::ReverseFind(wchar_t ch) const {
    const wchar_t* hit = wcsrchr(m_data, ch);
    return (hit == nullptr || ch == L'\0') ? -1 : static_cast<int>(hit - m_data);
}

int CUIString::Replace(const wchar_t* from, const wchar_t* to) {
    // An empty searched text matches everywhere and would never stop.
    if (from == nullptr || from[0] == L'\0') return 0;
    if (to == nullptr) to = L"";
    const CUIString fromCopy(from), toCopy(to);  // either may point into our own text
    const int fromLength = fromCopy.GetLength();
    const int toLength = toCopy.GetLength();
    int count = 0;
    for (int pos = Find(fromCopy.m_data, 0); pos >= 0; pos = Find(fromCopy.m_data, pos + toLength)) {
        CUIString result = Left(pos) + toCopy + Mid(pos + fromLength);
        Assign(result.m_data);
        ++count;
    }
    return count;
}

int CUIString::FormatV(const wchar_t* format, va_list args) {
    if (format == nullptr) return -1;
    const CUIString formatCopy(format);  // the format may be our own text
    va_list measure;
    va_copy(measure, args);
    // msvcrt's counting call: MS semantics, so %s takes a wide text in a wide format.
    const int needed = _vscwprintf(formatCopy.m_data, measure);
    va_end(measure);
    if (needed < 0) return needed;
    wchar_t* block = static_cast<wchar_t*>(calloc(static_cast<size_t>(needed) + 1, sizeof(wchar_t)));
    if (block == nullptr) return -1;
    const int written = _vsnwprintf(block, static_cast<size_t>(needed) + 1, formatCopy.m_data, args);
    Assign(block);
    free(block);
    return written;
}

int CUIString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = FormatV(format, args);
    va_end(args);
    return result;
}

int CUIString::SmallFormat(const wchar_t* format, ...) {
    const CUIString formatCopy(format);
    wchar_t buffer[kInlineUnits] = {};
    va_list args;
    va_start(args, format);
    const int result = _vsnwprintf(buffer, kInlineUnits - 1, formatCopy.m_data, args);
    va_end(args);
    Assign(buffer);
    return result;
}

}  // namespace HiveUI
