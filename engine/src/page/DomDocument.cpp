#include "DomDocument.h"

namespace engine {
namespace {

const wchar_t* const kVoidElements[] = {L"area",  L"base", L"br",   L"col",   L"embed",  L"hr",    L"img",
                                        L"input", L"link", L"meta", L"param", L"source", L"track", L"wbr"};
const wchar_t* const kRawTextElements[] = {L"script", L"style", L"title", L"textarea"};

// The node after n in document order within root's subtree, or null at its end.
DomNode* NextInOrder(DomNode* n, const DomNode* root) {
    if (n->firstChild() != nullptr) return n->firstChild();
    while (n != root && n->nextSibling() == nullptr) n = n->parent();
    return n == root ? nullptr : n->nextSibling();
}

}  // namespace

std::wstring EscapeHtml(const std::wstring& text, bool attribute) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'&') out += L"&amp;";
        else if (c == L'<' && !attribute) out += L"&lt;";
        else if (c == L'>' && !attribute) out += L"&gt;";
        else if (c == L'"' && attribute) out += L"&quot;";
        else out += c;
    }
    return out;
}

bool IsVoidElement(const std::wstring& tag) { return OneOf(tag, kVoidElements); }

bool IsRawTextElement(const std::wstring& tag) { return OneOf(tag, kRawTextElements); }

const std::wstring* DomNode::Attribute(const std::wstring& name) const {
    for (const auto& a : attributes_) {
        if (a.first == name) return &a.second;
    }
    return nullptr;
}

bool DomNode::HasClass(const std::wstring& name) const {
    const std::wstring* classes = Attribute(L"class");
    if (classes == nullptr) return false;
    for (size_t i = 0; i < classes->size();) {
        while (i < classes->size() && IsCssSpace((*classes)[i])) ++i;
        size_t end = i;
        while (end < classes->size() && !IsCssSpace((*classes)[end])) ++end;
        if (end > i && classes->compare(i, end - i, name) == 0) return true;
        i = end;
    }
    return false;
}

bool DomNode::Contains(const DomNode* other) const {
    for (; other != nullptr; other = other->parent_) {
        if (other == this) return true;
    }
    return false;
}

int DomNode::Depth() const {
    int depth = 0;
    for (const DomNode* n = parent_; n != nullptr; n = n->parent_) ++depth;
    return depth;
}

DomDocument::DomDocument(int serial) : serial_(serial) {
    root_ = CreateElement(L"html");
    head_ = CreateElement(L"head");
    body_ = CreateElement(L"body");
    Insert(root_, head_, nullptr);
    Insert(root_, body_, nullptr);
}

DomNode* DomDocument::Node(unsigned serial) const {
    return serial >= 1 && serial <= nodes_.size() ? nodes_[serial - 1].get() : nullptr;
}

DomNode* DomDocument::Make(DomNode::Type type) {
    if (nodes_.size() >= kMaxNodes) return nullptr;
    nodes_.push_back(std::make_unique<DomNode>(type, static_cast<unsigned>(nodes_.size() + 1)));
    return nodes_.back().get();
}

DomNode* DomDocument::CreateElement(const std::wstring& tag) {
    DomNode* element = Make(DomNode::kElement);
    if (element != nullptr) element->tag_ = ToLower(tag);
    return element;
}

DomNode* DomDocument::CreateText(const std::wstring& text) {
    DomNode* node = Make(DomNode::kText);
    if (node != nullptr) node->text_ = text;
    return node;
}

void DomDocument::Detach(DomNode* child) {
    DomNode* parent = child->parent_;
    if (parent == nullptr) return;
    (child->prev_ ? child->prev_->next_ : parent->first_) = child->next_;
    (child->next_ ? child->next_->prev_ : parent->last_) = child->prev_;
    child->parent_ = child->prev_ = child->next_ = nullptr;
}

bool DomDocument::Insert(DomNode* parent, DomNode* child, DomNode* ref) {
    if (!parent->IsElement() || child->Contains(parent) || (ref != nullptr && ref->parent_ != parent)) return false;
    if (ref == child) return true;
    Detach(child);
    child->parent_ = parent;
    child->next_ = ref;
    child->prev_ = ref ? ref->prev_ : parent->last_;
    (child->prev_ ? child->prev_->next_ : parent->first_) = child;
    (ref ? ref->prev_ : parent->last_) = child;
    Changed();
    return true;
}

void DomDocument::Remove(DomNode* child) {
    Detach(child);
    Changed();
}

void DomDocument::RemoveChildren(DomNode* parent) {
    while (parent->first_ != nullptr) Detach(parent->first_);
    Changed();
}

void DomDocument::SetAttribute(DomNode* element, const std::wstring& name, const std::wstring& value) {
    const std::wstring key = ToLower(name);
    if (key == L"style") element->style_ = ParseDeclarations(value);
    Changed();
    for (auto& a : element->attributes_) {
        if (a.first == key) {
            a.second = value;
            return;
        }
    }
    element->attributes_.emplace_back(key, value);
}

void DomDocument::RemoveAttribute(DomNode* element, const std::wstring& name) {
    const std::wstring key = ToLower(name);
    if (key == L"style") element->style_.clear();
    auto& list = element->attributes_;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->first == key) {
            list.erase(it);
            break;
        }
    }
    Changed();
}

void DomDocument::SetStyle(DomNode* element, const CssDeclarations& style) {
    if (style.empty()) return RemoveAttribute(element, L"style");
    SetAttribute(element, L"style", SerializeDeclarations(style));
    element->style_ = style;
}

void DomDocument::SetText(DomNode* textNode, const std::wstring& text) {
    textNode->text_ = text;
    Changed();
}

void DomDocument::AppendText(DomNode* textNode, const std::wstring& more) {
    textNode->text_ += more;
    Changed();
}

void DomDocument::SetListensToClick(DomNode* element) {
    if (!element->listensToClick_) Changed();
    element->listensToClick_ = true;
}

std::wstring DomDocument::TextContent(DomNode* node) {
    if (!node->IsElement()) return node->text_;
    std::wstring text;
    for (DomNode* n = node; n != nullptr; n = NextInOrder(n, node)) {
        if (!n->IsElement()) text += n->text_;
    }
    return text;
}

void DomDocument::SetTextContent(DomNode* node, const std::wstring& text) {
    if (!node->IsElement()) return SetText(node, text);
    RemoveChildren(node);
    if (text.empty()) return;
    DomNode* child = CreateText(text);
    if (child != nullptr) Insert(node, child, nullptr);
}

std::wstring DomDocument::InnerHtml(DomNode* node) {
    std::wstring out;
    WalkTree(
        node,
        [&](DomNode* n) {
            if (n == node) return true;
            if (!n->IsElement()) {
                out += IsRawTextElement(n->parent_->tag_) ? n->text_ : EscapeHtml(n->text_);
                return false;
            }
            out += L"<" + n->tag_;
            for (const auto& a : n->attributes_) out += L" " + a.first + L"=\"" + EscapeHtml(a.second, true) + L"\"";
            out += L">";
            return !IsVoidElement(n->tag_);
        },
        [&](DomNode* n) {
            if (n != node) out += L"</" + n->tag_ + L">";
        });
    return out;
}

DomNode* DomDocument::ElementById(const std::wstring& id) const {
    for (DomNode* n = root_; n != nullptr; n = NextInOrder(n, root_)) {
        const std::wstring* value = n->IsElement() ? n->Attribute(L"id") : nullptr;
        if (value != nullptr && *value == id) return n;
    }
    return nullptr;
}

std::wstring DomDocument::Title() const {
    for (DomNode* n = root_; n != nullptr; n = NextInOrder(n, root_)) {
        if (n->IsElement() && n->tag_ == L"title") return Trim(TextContent(n));
    }
    return std::wstring();
}

void DomDocument::SetTitle(const std::wstring& title) {
    for (DomNode* n = root_; n != nullptr; n = NextInOrder(n, root_)) {
        if (n->IsElement() && n->tag_ == L"title") return SetTextContent(n, title);
    }
    DomNode* element = CreateElement(L"title");
    if (element == nullptr) return;
    Insert(head_, element, nullptr);
    SetTextContent(element, title);
}

void DomDocument::SetHovered(DomNode* element) {
    for (DomNode* n : hovered_) n->hovered_ = false;
    hovered_.clear();
    for (DomNode* n = element; n != nullptr; n = n->parent_) {
        n->hovered_ = true;
        hovered_.push_back(n);
    }
}

bool DomDocument::TakeChanged() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

}  // namespace engine
