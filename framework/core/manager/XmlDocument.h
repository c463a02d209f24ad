// CXmlDocument: the in-place parser of skin layout files. The text is copied once into
// a UTF-16 buffer, terminators are written into it while parsing, and elements are kept
// in a flat table of offsets; CXmlNode is a light handle into that table.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

namespace HiveUI {

class CXmlDocument;

enum : int { XMLFILE_ENCODING_UTF8 = 0, XMLFILE_ENCODING_UNICODE = 1, XMLFILE_ENCODING_ASNI = 2 };

class CXmlNode {
public:
    CXmlNode();

    bool IsValid() const { return m_document != nullptr; }
    const wchar_t* GetName() const;
    CXmlNode GetChild() const;
    CXmlNode GetSibling() const;
    bool HasChildren() const;

    int GetAttributeCount();
    bool HasAttributes();
    const wchar_t* GetAttributeName(int index);
    const wchar_t* GetAttributeValue(int index);
    // Copies at most max characters; value must hold max + 1 characters.
    bool GetAttributeValueByName(const wchar_t* name, wchar_t* value, SIZE_T max);

private:
    friend class CXmlDocument;
    enum { kMaxAttributes = 64 };
    CXmlNode(CXmlDocument* document, ULONG element);
    void MapAttributes();

    ULONG m_element;
    int m_attributeCount;
    ULONG m_attributes[kMaxAttributes * 2];
    CXmlDocument* m_document;
};

class CXmlDocument {
public:
    explicit CXmlDocument(const wchar_t* text = nullptr);
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    bool Load(const wchar_t* text);
    bool LoadFromMem(const BYTE* data, DWORD size, int encoding = XMLFILE_ENCODING_UTF8);
    bool LoadFromFile(const wchar_t* fileName, int encoding = XMLFILE_ENCODING_UTF8);
    void Release();
    CXmlNode GetRoot();

    const wchar_t* GetLastErrorMessage() const { return m_errorMessage; }
    const wchar_t* GetLastErrorLocation() const { return m_errorLocation; }

    static constexpr DWORD kMaxFileSize = 4 * 1024 * 1024;
    // Guards the recursive parse against hostile nesting.
    static constexpr int kMaxDepth = 1000;

private:
    friend class CXmlNode;
    struct TElement {
        ULONG nameStart;
        ULONG child;
        ULONG next;
        ULONG parent;
        ULONG dataStart;
    };

    // Units the text's buffer holds behind its capacity, so that a scan reading several
    // units at once up to the terminator stays inside it.
    static constexpr size_t kReadAhead = 8;
    struct TSpareBuffers;
    static TSpareBuffers& Spare();
    wchar_t* AllocateText(size_t units);
    void Widen(const BYTE* data, DWORD size, UINT codePage);
    bool Parse();
    bool ParseContent(wchar_t*& p, ULONG parent, int depth);
    bool ParseElement(wchar_t*& p, ULONG parent, ULONG& previous, int depth);
    bool ParseAttributes(wchar_t*& p);
    bool ParseElementBody(wchar_t*& p, ULONG element, ULONG parent, wchar_t* nameEnd, int depth);
    ULONG ReserveElement();
    bool Fail(const wchar_t* message, const wchar_t* location);
    bool LoadError(const wchar_t* message);

    std::unique_ptr<wchar_t[]> m_text;
    size_t m_textCapacity = 0;
    std::vector<TElement> m_elements;  // its size is the element count
    wchar_t m_errorMessage[100];
    wchar_t m_errorLocation[50];
    bool m_preserveWhitespace;
};

// Converts a wide text to the code page in a new zero-filled buffer the caller frees with
// delete[]; null for a null text.
char* WideToMultiByte(const wchar_t* text, UINT codePage);

}  // namespace HiveUI
