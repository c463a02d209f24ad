#include "XmlDocument.h"

#include <climits>
#include <cwchar>

#include "SkinFile.h"
#include "TextWiden.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace HiveUI {

namespace {

// What the scans stop at, for ASCII by table; characters from 0x80 up are never
// whitespace nor a delimiter, and are names where iswalnum says so.
enum : unsigned char { kSpace = 1, kName = 2, kTextRun = 4, kValueRun = 8 };

struct TCharClasses {
    unsigned char bits[128];
    constexpr TCharClasses() : bits() {
        for (int c = 1; c < 128; ++c) {
            const bool name = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                              c == ':';
            bits[c] = static_cast<unsigned char>((c <= 32 ? kSpace : 0) | (name ? kName : 0) |
                                                 (c != '&' && c != '<' ? kTextRun : 0) |
                                                 (c != '&' && c != '"' ? kValueRun : 0));
        }
    }
};

constexpr TCharClasses kClasses;

inline bool IsAscii(wchar_t c, unsigned char classes) { return c < 128 && (kClasses.bits[c] & classes) != 0; }

// NUL is the end of the text, never whitespace.
inline void SkipWhitespace(wchar_t*& p) {
    while (IsAscii(*p, kSpace)) ++p;
}

inline bool IsWhitespace(wchar_t c) { return IsAscii(c, kSpace); }

inline bool IsNameChar(wchar_t c) { return c < 128 ? (kClasses.bits[c] & kName) != 0 : iswalnum(c) != 0; }

inline wchar_t* SkipName(wchar_t* p) {
    while (IsNameChar(*p)) ++p;
    return p;
}

// Moves p behind the first first+second pair, or to the end of the text.
void SkipPast(wchar_t*& p, wchar_t first, wchar_t second) {
    while (*p != 0 && !(p[0] == first && p[1] == second)) ++p;
    if (*p != 0) p += 2;
}

// Whether the text at p starts with `word`; stops at the first unit that differs, so
// never looks past the text's end.
inline bool StartsWith(const wchar_t* p, const wchar_t* word) {
    for (; *word != 0; ++p, ++word) {
        if (*p != *word) return false;
    }
    return true;
}

// The named entity behind a '&' at p, whose name p is moved past; a '&' that starts
// none of the five stays a '&'.
wchar_t DecodeEntity(wchar_t*& p) {
    struct TEntity {
        const wchar_t* name;
        unsigned length;
        wchar_t value;
    };
    static const TEntity kEntities[] = {
        {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
    };
    for (const TEntity& entity : kEntities) {
        if (*p == entity.name[0] && StartsWith(p, entity.name)) {
            p += entity.length;
            return entity.value;
        }
    }
    return L'&';
}

// Units from 0x80 up are never a delimiter, so a run goes on through them whole:
// surrogate pairs and combining marks are copied as they stand.
inline bool InRun(wchar_t c, unsigned char run) { return c >= 128 || (kClasses.bits[c] & run) != 0; }

// Moves p to the first unit of the text that ends a run: '&', `end` or the terminator.
// Where the processor has SSE2 it looks at eight units at a time; the text's buffer
// holds kReadAhead units behind its terminator for the last of those reads.
inline void SkipRun(wchar_t*& p, unsigned char run, wchar_t end) {
#ifdef __SSE2__
    (void)run;
    const __m128i ends = _mm_set1_epi16(static_cast<short>(end)), amp = _mm_set1_epi16(L'&');
    const __m128i zero = _mm_setzero_si128();
    for (;; p += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, ends), _mm_cmpeq_epi16(units, amp)),
                                           _mm_cmpeq_epi16(units, zero));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(stops));
        if (mask != 0) {
            p += __builtin_ctz(mask) / 2;
            return;
        }
    }
#else
    while (InRun(*p, run)) ++p;
#endif
}

// Decodes the five named entities from p into dest up to `end` ('<' or '"') or the end
// of the text; the units freed behind the decoded text become spaces. False at the end
// of the text. While nothing has been decoded yet, a run needs no copy.
bool DecodeText(wchar_t*& p, wchar_t*& dest, wchar_t end) {
    const unsigned char run = end == L'"' ? kValueRun : kTextRun;
    while (dest == p) {
        SkipRun(p, run, end);
        dest = p;
        if (*p != L'&') return *p != 0;
        ++p;
        *dest++ = DecodeEntity(p);
    }
    for (;;) {
        while (InRun(*p, run)) *dest++ = *p++;
        if (*p != L'&') break;
        ++p;
        *dest++ = DecodeEntity(p);
    }
    for (wchar_t* q = dest; q < p; ++q) *q = L' ';
    return *p != 0;
}

}  // namespace

// ---------------------------------------------------------------- node

CXmlNode::CXmlNode() : m_element(0), m_attributeCount(0), m_attributes(), m_document(nullptr) {}

CXmlNode::CXmlNode(CXmlDocument* document, ULONG element)
    : m_element(element), m_attributeCount(0), m_attributes(), m_document(document) {}

const wchar_t* CXmlNode::GetName() const {
    if (m_document == nullptr) return nullptr;
    return m_document->m_text.get() + m_document->m_elements[m_element].nameStart;
}

CXmlNode CXmlNode::GetChild() const {
    if (m_document == nullptr) return CXmlNode();
    const ULONG child = m_document->m_elements[m_element].child;
    return child != 0 ? CXmlNode(m_document, child) : CXmlNode();
}

CXmlNode CXmlNode::GetSibling() const {
    if (m_document == nullptr) return CXmlNode();
    const ULONG next = m_document->m_elements[m_element].next;
    return next != 0 ? CXmlNode(m_document, next) : CXmlNode();
}

bool CXmlNode::HasChildren() const { return m_document != nullptr && m_document->m_elements[m_element].child != 0; }

// Walks the start tag once: names and values were terminated in place by the parse.
void CXmlNode::MapAttributes() {
    m_attributeCount = 0;
    if (m_document == nullptr) return;
    const wchar_t* text = m_document->m_text.get();
    const CXmlDocument::TElement& element = m_document->m_elements[m_element];
    const ULONG end = element.dataStart;
    ULONG pos = element.nameStart;
    auto skipString = [&] {
        while (pos < end && text[pos] != 0) ++pos;
        if (pos < end) ++pos;
    };
    auto skipWhitespace = [&] {
        while (pos < end && IsWhitespace(text[pos])) ++pos;
    };
    skipString();
    while (pos < end && m_attributeCount < kMaxAttributes) {
        skipWhitespace();
        if (pos >= end || text[pos] == 0 || text[pos] == L'>' || text[pos] == L'/') break;
        const ULONG name = pos;
        skipString();
        skipWhitespace();
        if (pos >= end || text[pos] != L'"') break;
        ++pos;
        m_attributes[m_attributeCount * 2] = name;
        m_attributes[m_attributeCount * 2 + 1] = pos;
        ++m_attributeCount;
        skipString();
    }
}

int CXmlNode::GetAttributeCount() {
    if (m_attributeCount == 0) MapAttributes();
    return m_attributeCount;
}

bool CXmlNode::HasAttributes() { return GetAttributeCount() > 0; }

const wchar_t* CXmlNode::GetAttributeName(int index) {
    if (m_document == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_document->m_text.get() + m_attributes[index * 2];
}

const wchar_t* CXmlNode::GetAttributeValue(int index) {
    if (m_document == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_document->m_text.get() + m_attributes[index * 2 + 1];
}

bool CXmlNode::GetAttributeValueByName(const wchar_t* name, wchar_t* value, SIZE_T max) {
    if (m_document == nullptr || name == nullptr || value == nullptr) return false;
    const int count = GetAttributeCount();
    const wchar_t* text = m_document->m_text.get();
    for (int i = 0; i < count; ++i) {
        if (_wcsicmp(text + m_attributes[i * 2], name) != 0) continue;
        wcsncpy(value, text + m_attributes[i * 2 + 1], max);
        // wcsncpy leaves a value of max characters or more unterminated.
        value[max] = L'\0';
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- document

CXmlDocument::CXmlDocument(const wchar_t* text) : m_errorMessage(), m_errorLocation(), m_preserveWhitespace(true) {
    if (text != nullptr) Load(text);
}

CXmlDocument::~CXmlDocument() { Release(); }

// Skins are parsed one after another on the UI thread: the buffers of a released
// document serve the next one, whose pages are then mapped already (mapping the fresh
// pages of a large text costs Wine more than parsing it).
struct CXmlDocument::TSpareBuffers {
    std::unique_ptr<wchar_t[]> text;
    size_t textCapacity = 0;
    std::vector<TElement> elements;
};

CXmlDocument::TSpareBuffers& CXmlDocument::Spare() {
    static thread_local TSpareBuffers spare;
    return spare;
}

wchar_t* CXmlDocument::AllocateText(size_t units) {
    TSpareBuffers& spare = Spare();
    if (m_textCapacity < units && spare.textCapacity >= units) {
        m_text.swap(spare.text);
        std::swap(m_textCapacity, spare.textCapacity);
    }
    if (m_textCapacity < units) {
        m_text.reset(new wchar_t[units + kReadAhead]);
        m_textCapacity = units;
    }
    return m_text.get();
}

// The larger of the two buffers of each kind is kept for the next document.
void CXmlDocument::Release() {
    TSpareBuffers& spare = Spare();
    if (m_textCapacity > spare.textCapacity) {
        m_text.swap(spare.text);
        std::swap(m_textCapacity, spare.textCapacity);
    }
    m_text.reset();
    m_textCapacity = 0;
    m_elements.clear();
    if (m_elements.capacity() > spare.elements.capacity()) m_elements.swap(spare.elements);
    std::vector<TElement>().swap(m_elements);
}

CXmlNode CXmlDocument::GetRoot() { return m_elements.size() > 1 ? CXmlNode(this, 1) : CXmlNode(); }

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* location) {
    wcsncpy(m_errorMessage, message, 99);
    m_errorMessage[99] = L'\0';
    m_errorLocation[0] = L'\0';
    if (location != nullptr) wcsncpy(m_errorLocation, location, 49);
    m_errorLocation[49] = L'\0';
    return false;
}

bool CXmlDocument::LoadError(const wchar_t* message) {
    Release();
    return Fail(message, nullptr);
}

bool CXmlDocument::Load(const wchar_t* text) {
    Release();
    if (text == nullptr) return false;
    const size_t length = wcslen(text);
    wmemcpy(AllocateText(length + 1), text, length + 1);
    if (Parse()) return true;
    Release();
    return false;
}

static bool IsUtf8Signature(const BYTE* data, DWORD size) {
    return size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
}

bool CXmlDocument::LoadFromMem(const BYTE* data, DWORD size, int encoding) {
    Release();
    if (data == nullptr && size != 0) return false;
    if (encoding == XMLFILE_ENCODING_UNICODE) {
        const bool little = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
        const bool big = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
        if (!little && !big) return false;
        // Swapped into the copy: the caller's bytes may be read-only resource memory.
        const DWORD units = size / 2 - 1;
        AllocateText(static_cast<size_t>(units) + 1);
        for (DWORD i = 0; i < units; ++i) {
            const BYTE first = data[2 + i * 2], second = data[3 + i * 2];
            m_text[i] = static_cast<wchar_t>(little ? first | (second << 8) : (first << 8) | second);
        }
        m_text[units] = L'\0';
    } else if (encoding == XMLFILE_ENCODING_UTF8 || encoding == XMLFILE_ENCODING_ASNI) {
        if (encoding == XMLFILE_ENCODING_UTF8 && IsUtf8Signature(data, size)) data += 3, size -= 3;
        if (size > INT_MAX) return false;
        Widen(data, size, encoding == XMLFILE_ENCODING_UTF8 ? CP_UTF8 : CP_ACP);
    } else {
        return false;
    }
    if (Parse()) return true;
    Release();
    return false;
}

// Bytes that do not convert at all make the whole text empty, as they always have.
void CXmlDocument::Widen(const BYTE* data, DWORD size, UINT codePage) {
    wchar_t* out = AllocateText(static_cast<size_t>(size) + 1);
    out[WidenText(data, size, codePage, out)] = L'\0';
}

bool CXmlDocument::LoadFromFile(const wchar_t* fileName, int encoding) {
    Release();
    std::vector<BYTE> data;
    switch (ReadSkinFile(fileName, kMaxFileSize, data)) {
    case ESkinFileResult::Ok: break;
    case ESkinFileResult::OpenFailed: return LoadError(L"Error opening file");
    case ESkinFileResult::Empty: return LoadError(L"File is empty");
    case ESkinFileResult::TooLarge: return LoadError(L"File too large");
    case ESkinFileResult::ReadFailed: return LoadError(L"Could not read file");
    case ESkinFileResult::ZipOpenFailed: return LoadError(L"Error opening zip file");
    case ESkinFileResult::NotFound: return LoadError(L"Could not find ziped file");
    case ESkinFileResult::UnzipFailed: return LoadError(L"Could not unzip file");
    }
    return LoadFromMem(data.data(), static_cast<DWORD>(data.size()), encoding);
}

ULONG CXmlDocument::ReserveElement() {
    if (m_elements.size() == m_elements.capacity()) {
        const size_t capacity = m_elements.capacity();
        m_elements.reserve(capacity + capacity / 2 + 500);
    }
    m_elements.push_back(TElement());
    return static_cast<ULONG>(m_elements.size() - 1);
}

bool CXmlDocument::Parse() {
    m_errorMessage[0] = L'\0';
    m_errorLocation[0] = L'\0';
    m_elements.clear();
    if (m_elements.capacity() == 0) m_elements.swap(Spare().elements);
    ReserveElement();
    wchar_t* p = m_text.get();
    if (!ParseContent(p, 0, 0)) return false;
    // Whitespace and comments alone are no document.
    if (m_elements.size() < 2) return Fail(L"Expected start tag", p);
    return true;
}

bool CXmlDocument::ParseContent(wchar_t*& p, ULONG parent, int depth) {
    if (depth > kMaxDepth) return Fail(L"Elements nested too deeply", p);
    ULONG previous = 0;
    for (;;) {
        SkipWhitespace(p);
        if (*p == 0 && parent <= 1) return true;
        if (*p != L'<') return Fail(L"Expected start tag", p);
        if (p[1] == L'/') return true;
        *p++ = 0;
        SkipWhitespace(p);
        if (*p == L'!') {
            SkipPast(p, L'-', L'>');
        } else if (*p == L'?') {
            SkipPast(p, L'?', L'>');
        } else if (!ParseElement(p, parent, previous, depth)) {
            return false;
        }
    }
}

bool CXmlDocument::ParseElement(wchar_t*& p, ULONG parent, ULONG& previous, int depth) {
    const ULONG index = ReserveElement();
    TElement& element = m_elements[index];
    element.nameStart = static_cast<ULONG>(p - m_text.get());
    element.parent = parent;
    if (previous != 0) m_elements[previous].next = index;
    else if (parent > 0) m_elements[parent].child = index;
    previous = index;

    wchar_t* nameEnd = SkipName(p);
    p = nameEnd;
    if (*p == 0) return Fail(L"Error parsing element name", p);
    if (!ParseAttributes(p)) return false;
    SkipWhitespace(p);
    if (p[0] == L'/' && p[1] == L'>') {
        m_elements[index].dataStart = static_cast<ULONG>(p - m_text.get());
        *p = 0;
        p += 2;
    } else if (!ParseElementBody(p, index, parent, nameEnd, depth)) {
        return false;
    }
    *nameEnd = 0;
    return true;
}

bool CXmlDocument::ParseElementBody(wchar_t*& p, ULONG element, ULONG parent, wchar_t* nameEnd, int depth) {
    if (*p != L'>') return Fail(L"Expected start-tag closing", p);
    m_elements[element].dataStart = static_cast<ULONG>(p - m_text.get()) + 1;
    ++p;
    wchar_t* dest = p;
    DecodeText(p, dest, L'<');
    if (*p == 0) return parent <= 1 ? true : Fail(L"Expected end-tag start", p);
    if (p[1] != L'/') {
        if (!ParseContent(p, element, depth + 1)) return false;
        if (*p == 0) return parent <= 1 ? true : Fail(L"Expected end-tag start", p);
    }
    *dest = 0;
    *p = 0;
    p += 2;
    SkipWhitespace(p);
    const wchar_t* name = m_text.get() + m_elements[element].nameStart;
    const size_t nameLength = static_cast<size_t>(nameEnd - name);
    // Stops at the first unit that differs, the text's end included.
    const wchar_t* q = p;
    for (const wchar_t* n = name; n < nameEnd; ++n, ++q) {
        if (*q != *n) return Fail(L"Unmatched closing tag", p);
    }
    p += nameLength;
    SkipWhitespace(p);
    if (*p != L'>') return Fail(L"Unmatched closing tag", p);
    ++p;
    return true;
}

bool CXmlDocument::ParseAttributes(wchar_t*& p) {
    if (p[0] == L'>' || (p[0] == L'/' && p[1] == L'>')) return true;
    *p++ = 0;
    SkipWhitespace(p);
    while (*p != 0 && *p != L'>' && *p != L'/') {
        wchar_t* nameEnd = SkipName(p);
        p = nameEnd;
        SkipWhitespace(p);
        if (*p != L'=') return Fail(L"Error while parsing attributes", p);
        *p++ = L' ';
        *nameEnd = 0;
        SkipWhitespace(p);
        if (*p != L'"') return Fail(L"Expected attribute value", p);
        ++p;
        wchar_t* dest = p;
        if (!DecodeText(p, dest, L'"')) return Fail(L"Error while parsing attribute string", p);
        const bool shorter = dest < p;
        *dest = 0;
        if (shorter) *p = L' ';
        ++p;
        SkipWhitespace(p);
    }
    return true;
}

char* WideToMultiByte(const wchar_t* text, UINT codePage) {
    if (text == nullptr) return nullptr;
    const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    char* result = new char[size > 0 ? size + 1 : 1]();
    if (size > 0) WideCharToMultiByte(codePage, 0, text, -1, result, size, nullptr, nullptr);
    return result;
}

}  // namespace HiveUI
