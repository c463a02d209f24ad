// Shared helpers of the XML tests: a whole tree written out as one comparable text, and
// the encodings of a document.
#pragma once

#include <XmlDocument.h>

#include <string>

namespace XmlTest {

// Name[attr=value,...]{children} for the node and its following siblings.
inline std::wstring Dump(HiveUI::CXmlNode node) {
    std::wstring out;
    for (; node.IsValid(); node = node.GetSibling()) {
        out += node.GetName();
        out += L"[";
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            out += i > 0 ? L"," : L"";
            out += node.GetAttributeName(i);
            out += L"=";
            out += node.GetAttributeValue(i);
        }
        out += L"]";
        if (node.HasChildren()) out += L"{" + Dump(node.GetChild()) + L"}";
    }
    return out;
}

inline std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

inline std::string Utf16(const std::wstring& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xff);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

inline const BYTE* Bytes(const std::string& text) { return reinterpret_cast<const BYTE*>(text.data()); }

inline DWORD Size(const std::string& text) { return static_cast<DWORD>(text.size()); }

}  // namespace XmlTest
