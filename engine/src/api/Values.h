// The engine's value tree. Lists and dictionaries are nodes shared by every wrapper
// that refers to them, so a child taken from a container edits it in place; setting a
// container into another stores a deep copy, as the engine's IPC values do.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "include/cef_values.h"

namespace engine {

struct ValueNode {
    CefValueType type = VTYPE_NULL;
    bool boolean = false;
    int integer = 0;
    double real = 0;
    std::wstring text;
    std::vector<uint8_t> binary;
    std::vector<std::shared_ptr<ValueNode>> list;
    // Keys in UTF-8, so iteration is in byte order as the JSON writer needs.
    std::map<std::string, std::shared_ptr<ValueNode>> dict;
};

typedef std::shared_ptr<ValueNode> NodePtr;

NodePtr NewNode(CefValueType type);
NodePtr DeepCopy(const ValueNode& node);
bool NodesEqual(const ValueNode& a, const ValueNode& b);

// The node behind a value object made by this engine; null for foreign or null objects.
NodePtr NodeOf(CefRefPtr<CefValue> value);
NodePtr NodeOf(CefRefPtr<CefListValue> value);
NodePtr NodeOf(CefRefPtr<CefDictionaryValue> value);
NodePtr NodeOf(CefRefPtr<CefBinaryValue> value);

CefRefPtr<CefValue> WrapValue(NodePtr node);
CefRefPtr<CefListValue> WrapList(NodePtr node);
CefRefPtr<CefDictionaryValue> WrapDictionary(NodePtr node);

}  // namespace engine
