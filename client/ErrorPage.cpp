#include "ErrorPage.h"

#include "NetErrorNames.h"
#include "ServerLines.h"
#include "TextConvert.h"
#include "include/cef_parser.h"
#include "include/cef_values.h"

std::string ErrorDescription(int code) { return std::to_string(code) + " : " + NetErrorName(code); }

std::string LinesJson() {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    const int selected = g_lines.selected;
    for (size_t i = 0; i < g_lines.lines.size(); ++i) {
        CefRefPtr<CefDictionaryValue> line = CefDictionaryValue::Create();
        line->SetString("name", GbkToWide(g_lines.lines[i].name));
        line->SetString("url", g_lines.lines[i].url);
        line->SetBool("check", static_cast<int>(i) == selected);
        list->SetDictionary(i, line);
    }
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetList(list);
    return CefWriteJSON(value, JSON_WRITER_DEFAULT).ToString();
}

// Besides the quote and the backslash, a line break ends a script string and "</" may
// end the script element itself, so those are written as escapes too.
std::string ScriptStringText(const std::string& json) {
    static const char* const kLineSeparator = "\xE2\x80\xA8";
    static const char* const kParagraphSeparator = "\xE2\x80\xA9";
    std::string out;
    out.reserve(json.size());
    for (size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '\\' || c == '\'') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '<') {
            out += "\\x3c";
        } else if (json.compare(i, 3, kLineSeparator) == 0 || json.compare(i, 3, kParagraphSeparator) == 0) {
            out += json[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string FillErrorPage(const std::string& page, int code) {
    std::string filled = page;
    ReplaceAll(filled, "$errorcode$", ErrorDescription(code));
    ReplaceAll(filled, "$linesjosn$", ScriptStringText(LinesJson()));
    return filled;
}
