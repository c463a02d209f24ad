#include "Values.h"

#include <algorithm>
#include <cstring>

namespace engine {
namespace {

std::string Key(const CefString& key) { return key.ToString(); }

// Reading a node as another type gives that type's empty value, as the engine does.
bool AsBool(const NodePtr& n) { return n && n->type == VTYPE_BOOL && n->boolean; }
int AsInt(const NodePtr& n) { return n && n->type == VTYPE_INT ? n->integer : 0; }
double AsDouble(const NodePtr& n) {
    if (n && n->type == VTYPE_DOUBLE) return n->real;
    return n && n->type == VTYPE_INT ? n->integer : 0.0;
}
CefString AsString(const NodePtr& n) { return n && n->type == VTYPE_STRING ? CefString(n->text) : CefString(); }

NodePtr Scalar(CefValueType type) { return NewNode(type); }

class BinaryImpl : public CefBinaryValue {
public:
    explicit BinaryImpl(NodePtr node) : node_(node) {}
    bool IsValid() override { return true; }
    bool IsOwned() override { return false; }
    bool IsSame(CefRefPtr<CefBinaryValue> that) override { return NodeOf(that) == node_; }
    bool IsEqual(CefRefPtr<CefBinaryValue> that) override {
        NodePtr other = NodeOf(that);
        return other && NodesEqual(*node_, *other);
    }
    CefRefPtr<CefBinaryValue> Copy() override { return new BinaryImpl(DeepCopy(*node_)); }
    size_t GetSize() override { return node_->binary.size(); }
    size_t GetData(void* buffer, size_t size, size_t offset) override {
        if (buffer == nullptr || offset >= node_->binary.size()) return 0;
        const size_t n = std::min(size, node_->binary.size() - offset);
        std::memcpy(buffer, node_->binary.data() + offset, n);
        return n;
    }
    NodePtr node_;
    IMPLEMENT_REFCOUNTING(BinaryImpl);
};

CefRefPtr<CefBinaryValue> WrapBinary(NodePtr node) {
    return node && node->type == VTYPE_BINARY ? new BinaryImpl(node) : nullptr;
}

// Stores a copy of a container or binary node; false for a value of another engine.
bool CopyInto(NodePtr from, NodePtr& slot) {
    if (!from) return false;
    slot = DeepCopy(*from);
    return true;
}

class ValueImpl : public CefValue {
public:
    explicit ValueImpl(NodePtr node) : node_(node) {}
    bool IsValid() override { return true; }
    bool IsOwned() override { return false; }
    bool IsReadOnly() override { return false; }
    bool IsSame(CefRefPtr<CefValue> that) override { return NodeOf(that) == node_; }
    bool IsEqual(CefRefPtr<CefValue> that) override {
        NodePtr other = NodeOf(that);
        return other && NodesEqual(*node_, *other);
    }
    CefRefPtr<CefValue> Copy() override { return new ValueImpl(DeepCopy(*node_)); }
    CefValueType GetType() override { return node_->type; }
    bool GetBool() override { return AsBool(node_); }
    int GetInt() override { return AsInt(node_); }
    double GetDouble() override { return AsDouble(node_); }
    CefString GetString() override { return AsString(node_); }
    CefRefPtr<CefBinaryValue> GetBinary() override { return WrapBinary(node_); }
    CefRefPtr<CefDictionaryValue> GetDictionary() override { return WrapDictionary(node_); }
    CefRefPtr<CefListValue> GetList() override { return WrapList(node_); }
    bool SetNull() override { return Assign(NewNode(VTYPE_NULL)); }
    bool SetBool(bool v) override {
        NodePtr n = Scalar(VTYPE_BOOL);
        n->boolean = v;
        return Assign(n);
    }
    bool SetInt(int v) override {
        NodePtr n = Scalar(VTYPE_INT);
        n->integer = v;
        return Assign(n);
    }
    bool SetDouble(double v) override {
        NodePtr n = Scalar(VTYPE_DOUBLE);
        n->real = v;
        return Assign(n);
    }
    bool SetString(const CefString& v) override {
        NodePtr n = Scalar(VTYPE_STRING);
        n->text = v.ToWString();
        return Assign(n);
    }
    bool SetBinary(CefRefPtr<CefBinaryValue> v) override { return AssignCopy(NodeOf(v)); }
    bool SetDictionary(CefRefPtr<CefDictionaryValue> v) override { return AssignCopy(NodeOf(v)); }
    bool SetList(CefRefPtr<CefListValue> v) override { return AssignCopy(NodeOf(v)); }

    NodePtr node_;

private:
    // The node stays the same object, so containers holding it see the change.
    bool Assign(const NodePtr& n) {
        *node_ = *n;
        return true;
    }
    bool AssignCopy(const NodePtr& n) { return n && Assign(DeepCopy(*n)); }
    IMPLEMENT_REFCOUNTING(ValueImpl);
};

class ListImpl : public CefListValue {
public:
    explicit ListImpl(NodePtr node) : node_(node) {}
    bool IsValid() override { return true; }
    bool IsOwned() override { return false; }
    bool IsReadOnly() override { return false; }
    bool IsSame(CefRefPtr<CefListValue> that) override { return NodeOf(that) == node_; }
    bool IsEqual(CefRefPtr<CefListValue> that) override {
        NodePtr other = NodeOf(that);
        return other && NodesEqual(*node_, *other);
    }
    CefRefPtr<CefListValue> Copy() override { return new ListImpl(DeepCopy(*node_)); }
    bool SetSize(size_t size) override {
        while (items().size() > size) items().pop_back();
        while (items().size() < size) items().push_back(NewNode(VTYPE_NULL));
        return true;
    }
    size_t GetSize() override { return items().size(); }
    bool Clear() override {
        items().clear();
        return true;
    }
    bool Remove(int i) override {
        if (!At(i)) return false;
        items().erase(items().begin() + i);
        return true;
    }
    CefValueType GetType(int i) override { return At(i) ? At(i)->type : VTYPE_INVALID; }
    CefRefPtr<CefValue> GetValue(int i) override { return At(i) ? WrapValue(At(i)) : nullptr; }
    bool GetBool(int i) override { return AsBool(At(i)); }
    int GetInt(int i) override { return AsInt(At(i)); }
    double GetDouble(int i) override { return AsDouble(At(i)); }
    CefString GetString(int i) override { return AsString(At(i)); }
    CefRefPtr<CefBinaryValue> GetBinary(int i) override { return WrapBinary(At(i)); }
    CefRefPtr<CefDictionaryValue> GetDictionary(int i) override { return WrapDictionary(At(i)); }
    CefRefPtr<CefListValue> GetList(int i) override { return WrapList(At(i)); }
    bool SetValue(int i, CefRefPtr<CefValue> v) override { return Put(i, NodeOf(v)); }
    bool SetNull(int i) override { return Put(i, NewNode(VTYPE_NULL)); }
    bool SetBool(int i, bool v) override {
        NodePtr n = Scalar(VTYPE_BOOL);
        n->boolean = v;
        return Put(i, n);
    }
    bool SetInt(int i, int v) override {
        NodePtr n = Scalar(VTYPE_INT);
        n->integer = v;
        return Put(i, n);
    }
    bool SetDouble(int i, double v) override {
        NodePtr n = Scalar(VTYPE_DOUBLE);
        n->real = v;
        return Put(i, n);
    }
    bool SetString(int i, const CefString& v) override {
        NodePtr n = Scalar(VTYPE_STRING);
        n->text = v.ToWString();
        return Put(i, n);
    }
    bool SetBinary(int i, CefRefPtr<CefBinaryValue> v) override { return Put(i, NodeOf(v)); }
    bool SetDictionary(int i, CefRefPtr<CefDictionaryValue> v) override { return Put(i, NodeOf(v)); }
    bool SetList(int i, CefRefPtr<CefListValue> v) override { return Put(i, NodeOf(v)); }

    NodePtr node_;

private:
    std::vector<NodePtr>& items() { return node_->list; }
    NodePtr At(int i) { return i >= 0 && static_cast<size_t>(i) < items().size() ? items()[i] : nullptr; }
    // Setting past the end grows the list with nulls, as the engine's list does.
    bool Put(int i, const NodePtr& n) {
        if (!n || n == node_ || i < 0) return false;
        if (static_cast<size_t>(i) >= items().size()) SetSize(static_cast<size_t>(i) + 1);
        return CopyInto(n, items()[i]);
    }
    IMPLEMENT_REFCOUNTING(ListImpl);
};

class DictionaryImpl : public CefDictionaryValue {
public:
    explicit DictionaryImpl(NodePtr node) : node_(node) {}
    bool IsValid() override { return true; }
    bool IsOwned() override { return false; }
    bool IsReadOnly() override { return false; }
    bool IsSame(CefRefPtr<CefDictionaryValue> that) override { return NodeOf(that) == node_; }
    bool IsEqual(CefRefPtr<CefDictionaryValue> that) override {
        NodePtr other = NodeOf(that);
        return other && NodesEqual(*node_, *other);
    }
    CefRefPtr<CefDictionaryValue> Copy(bool excludeEmpty) override {
        NodePtr copy = DeepCopy(*node_);
        if (excludeEmpty) DropEmptyChildren(*copy);
        return new DictionaryImpl(copy);
    }
    size_t GetSize() override { return items().size(); }
    bool Clear() override {
        items().clear();
        return true;
    }
    bool HasKey(const CefString& key) override { return items().count(Key(key)) > 0; }
    bool GetKeys(KeyList& keys) override {
        for (const auto& item : items()) keys.push_back(item.first);
        return true;
    }
    bool Remove(const CefString& key) override { return items().erase(Key(key)) > 0; }
    CefValueType GetType(const CefString& k) override { return At(k) ? At(k)->type : VTYPE_INVALID; }
    CefRefPtr<CefValue> GetValue(const CefString& k) override { return At(k) ? WrapValue(At(k)) : nullptr; }
    bool GetBool(const CefString& k) override { return AsBool(At(k)); }
    int GetInt(const CefString& k) override { return AsInt(At(k)); }
    double GetDouble(const CefString& k) override { return AsDouble(At(k)); }
    CefString GetString(const CefString& k) override { return AsString(At(k)); }
    CefRefPtr<CefBinaryValue> GetBinary(const CefString& k) override { return WrapBinary(At(k)); }
    CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& k) override { return WrapDictionary(At(k)); }
    CefRefPtr<CefListValue> GetList(const CefString& k) override { return WrapList(At(k)); }
    bool SetValue(const CefString& k, CefRefPtr<CefValue> v) override { return Put(k, NodeOf(v)); }
    bool SetNull(const CefString& k) override { return Put(k, NewNode(VTYPE_NULL)); }
    bool SetBool(const CefString& k, bool v) override {
        NodePtr n = Scalar(VTYPE_BOOL);
        n->boolean = v;
        return Put(k, n);
    }
    bool SetInt(const CefString& k, int v) override {
        NodePtr n = Scalar(VTYPE_INT);
        n->integer = v;
        return Put(k, n);
    }
    bool SetDouble(const CefString& k, double v) override {
        NodePtr n = Scalar(VTYPE_DOUBLE);
        n->real = v;
        return Put(k, n);
    }
    bool SetString(const CefString& k, const CefString& v) override {
        NodePtr n = Scalar(VTYPE_STRING);
        n->text = v.ToWString();
        return Put(k, n);
    }
    bool SetBinary(const CefString& k, CefRefPtr<CefBinaryValue> v) override { return Put(k, NodeOf(v)); }
    bool SetDictionary(const CefString& k, CefRefPtr<CefDictionaryValue> v) override { return Put(k, NodeOf(v)); }
    bool SetList(const CefString& k, CefRefPtr<CefListValue> v) override { return Put(k, NodeOf(v)); }

    NodePtr node_;

private:
    std::map<std::string, NodePtr>& items() { return node_->dict; }
    NodePtr At(const CefString& key) {
        auto it = items().find(Key(key));
        return it != items().end() ? it->second : nullptr;
    }
    bool Put(const CefString& key, const NodePtr& n) {
        if (!n || n == node_) return false;
        return CopyInto(n, items()[Key(key)]);
    }
    static void DropEmptyChildren(ValueNode& node) {
        for (auto it = node.dict.begin(); it != node.dict.end();) {
            ValueNode& child = *it->second;
            if (child.type == VTYPE_DICTIONARY) DropEmptyChildren(child);
            const bool empty = (child.type == VTYPE_DICTIONARY && child.dict.empty()) ||
                               (child.type == VTYPE_LIST && child.list.empty());
            it = empty ? node.dict.erase(it) : std::next(it);
        }
    }
    IMPLEMENT_REFCOUNTING(DictionaryImpl);
};

}  // namespace

NodePtr NewNode(CefValueType type) {
    NodePtr node = std::make_shared<ValueNode>();
    node->type = type;
    return node;
}

NodePtr DeepCopy(const ValueNode& node) {
    NodePtr copy = std::make_shared<ValueNode>(node);
    for (auto& item : copy->list) item = DeepCopy(*item);
    for (auto& item : copy->dict) item.second = DeepCopy(*item.second);
    return copy;
}

bool NodesEqual(const ValueNode& a, const ValueNode& b) {
    if (a.type != b.type) return false;
    switch (a.type) {
    case VTYPE_BOOL: return a.boolean == b.boolean;
    case VTYPE_INT: return a.integer == b.integer;
    case VTYPE_DOUBLE: return a.real == b.real;
    case VTYPE_STRING: return a.text == b.text;
    case VTYPE_BINARY: return a.binary == b.binary;
    case VTYPE_LIST:
        if (a.list.size() != b.list.size()) return false;
        for (size_t i = 0; i < a.list.size(); ++i) {
            if (!NodesEqual(*a.list[i], *b.list[i])) return false;
        }
        return true;
    case VTYPE_DICTIONARY:
        if (a.dict.size() != b.dict.size()) return false;
        for (auto ia = a.dict.begin(), ib = b.dict.begin(); ia != a.dict.end(); ++ia, ++ib) {
            if (ia->first != ib->first || !NodesEqual(*ia->second, *ib->second)) return false;
        }
        return true;
    default: return true;
    }
}

NodePtr NodeOf(CefRefPtr<CefValue> value) {
    auto* impl = dynamic_cast<ValueImpl*>(value.get());
    return impl ? impl->node_ : nullptr;
}

NodePtr NodeOf(CefRefPtr<CefListValue> value) {
    auto* impl = dynamic_cast<ListImpl*>(value.get());
    return impl ? impl->node_ : nullptr;
}

NodePtr NodeOf(CefRefPtr<CefDictionaryValue> value) {
    auto* impl = dynamic_cast<DictionaryImpl*>(value.get());
    return impl ? impl->node_ : nullptr;
}

NodePtr NodeOf(CefRefPtr<CefBinaryValue> value) {
    auto* impl = dynamic_cast<BinaryImpl*>(value.get());
    return impl ? impl->node_ : nullptr;
}

CefRefPtr<CefValue> WrapValue(NodePtr node) { return node ? new ValueImpl(node) : nullptr; }

CefRefPtr<CefListValue> WrapList(NodePtr node) {
    return node && node->type == VTYPE_LIST ? new ListImpl(node) : nullptr;
}

CefRefPtr<CefDictionaryValue> WrapDictionary(NodePtr node) {
    return node && node->type == VTYPE_DICTIONARY ? new DictionaryImpl(node) : nullptr;
}

}  // namespace engine

CefRefPtr<CefValue> CefValue::Create() { return engine::WrapValue(engine::NewNode(VTYPE_NULL)); }

CefRefPtr<CefListValue> CefListValue::Create() { return engine::WrapList(engine::NewNode(VTYPE_LIST)); }

CefRefPtr<CefDictionaryValue> CefDictionaryValue::Create() {
    return engine::WrapDictionary(engine::NewNode(VTYPE_DICTIONARY));
}

CefRefPtr<CefBinaryValue> CefBinaryValue::Create(const void* data, size_t size) {
    engine::NodePtr node = engine::NewNode(VTYPE_BINARY);
    if (data != nullptr) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        node->binary.assign(bytes, bytes + size);
    }
    CefRefPtr<CefValue> holder = engine::WrapValue(node);
    return holder->GetBinary();
}
