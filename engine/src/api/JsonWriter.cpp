// CefWriteJSON: the browser's JSON writer. No whitespace unless pretty-printing,
// dictionary keys in byte order, non-ASCII text kept as UTF-8, '<' escaped so the
// text can sit inside a script block, doubles keeping a ".0" to stay doubles.
#include "include/cef_parser.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "EngineLog.h"
#include "Values.h"

namespace engine {
namespace {

// Pretty-printed text uses the platform's line ending.
const char kLineEnd[] = "\r\n";

void EscapeString(const std::string& utf8, std::string& out) {
    out += '"';
    for (unsigned char c : utf8) {
        switch (c) {
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '<': out += "\\u003C"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof(buffer), "\\u%04X", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

// The shortest text that reads back as the same double.
std::string DoubleText(double value, bool preserveType) {
    if (!std::isfinite(value)) return "null";
    char buffer[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof(buffer), "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    std::string text = buffer;
    if (preserveType && text.find_first_of(".eE") == std::string::npos) text += ".0";
    if (text.compare(0, 2, "-.") == 0) text.insert(1, "0");
    if (!text.empty() && text[0] == '.') text.insert(0, "0");
    return text;
}

class Writer {
public:
    explicit Writer(int options) : options_(options) {}

    bool Write(const ValueNode& node, int depth, std::string& out) {
        switch (node.type) {
        case VTYPE_NULL: out += "null"; return true;
        case VTYPE_BOOL: out += node.boolean ? "true" : "false"; return true;
        case VTYPE_INT: out += std::to_string(node.integer); return true;
        case VTYPE_DOUBLE:
            out += DoubleText(node.real, !(options_ & JSON_WRITER_OMIT_DOUBLE_TYPE_PRESERVATION));
            return true;
        case VTYPE_STRING: EscapeString(CefString(node.text).ToString(), out); return true;
        case VTYPE_LIST: return WriteList(node, depth, out);
        case VTYPE_DICTIONARY: return WriteDictionary(node, depth, out);
        default: return false;  // binary values have no JSON form
        }
    }

private:
    bool Pretty() const { return (options_ & JSON_WRITER_PRETTY_PRINT) != 0; }
    bool Omitted(const ValueNode& node) const {
        return node.type == VTYPE_BINARY && (options_ & JSON_WRITER_OMIT_BINARY_VALUES);
    }
    void Indent(int depth, std::string& out) const { out.append(static_cast<size_t>(depth) * 3, ' '); }

    bool WriteList(const ValueNode& node, int depth, std::string& out) {
        out += '[';
        if (Pretty()) out += ' ';
        bool first = true;
        for (const auto& item : node.list) {
            if (Omitted(*item)) continue;
            if (!first) out += Pretty() ? ", " : ",";
            first = false;
            if (!Write(*item, depth, out)) return false;
        }
        if (Pretty()) out += ' ';
        out += ']';
        return true;
    }

    bool WriteDictionary(const ValueNode& node, int depth, std::string& out) {
        out += '{';
        if (Pretty()) out += kLineEnd;
        bool first = true;
        for (const auto& item : node.dict) {
            if (Omitted(*item.second)) continue;
            if (!first) {
                out += ',';
                if (Pretty()) out += kLineEnd;
            }
            first = false;
            if (Pretty()) Indent(depth + 1, out);
            EscapeString(item.first, out);
            out += Pretty() ? ": " : ":";
            if (!Write(*item.second, depth + 1, out)) return false;
        }
        if (Pretty()) {
            if (!first) out += kLineEnd;
            Indent(depth, out);
        }
        out += '}';
        return true;
    }

    int options_;
};

}  // namespace
}  // namespace engine

CefString CefWriteJSON(CefRefPtr<CefValue> node, cef_json_writer_options_t options) {
    engine::NodePtr root = engine::NodeOf(node);
    if (!root) return CefString();
    std::string out;
    if (!engine::Writer(options).Write(*root, 0, out)) {
        engine::EngineLog::Write(LOGSEVERITY_WARNING, "CefWriteJSON: a binary value has no JSON form");
        return CefString();
    }
    if (options & JSON_WRITER_PRETTY_PRINT) out += "\r\n";
    return out;
}
