// The document tree of a page on the renderer thread: elements and text nodes. The
// document owns every node it ever made, so a node that a script detached or still
// holds stays valid until the document is replaced. Every walk over the tree is
// iterative: a hostile page cannot overflow the stack by nesting.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CssDeclarations.h"

namespace engine {

class DomNode {
public:
    enum Type { kElement, kText };

    DomNode(Type type, unsigned serial) : type_(type), serial_(serial) {}

    Type type() const { return type_; }
    bool IsElement() const { return type_ == kElement; }
    // Unique within the document and never reused, so the other thread can name a node.
    unsigned serial() const { return serial_; }
    const std::wstring& tag() const { return tag_; }  // lower case

    const std::wstring* Attribute(const std::wstring& name) const;
    const std::vector<std::pair<std::wstring, std::wstring>>& attributes() const { return attributes_; }
    bool HasClass(const std::wstring& name) const;
    const CssDeclarations& style() const { return style_; }
    const std::wstring& text() const { return text_; }

    DomNode* parent() const { return parent_; }
    DomNode* firstChild() const { return first_; }
    DomNode* lastChild() const { return last_; }
    DomNode* nextSibling() const { return next_; }
    bool Contains(const DomNode* other) const;
    int Depth() const;
    // Set once a script gave the element a click handler.
    bool listensToClick() const { return listensToClick_; }
    // The pointer is over the element or one of its descendants.
    bool hovered() const { return hovered_; }

private:
    friend class DomDocument;

    Type type_;
    unsigned serial_;
    std::wstring tag_;
    std::wstring text_;
    std::vector<std::pair<std::wstring, std::wstring>> attributes_;
    CssDeclarations style_;  // kept in step with the style attribute
    DomNode* parent_ = nullptr;
    DomNode* first_ = nullptr;
    DomNode* last_ = nullptr;
    DomNode* prev_ = nullptr;
    DomNode* next_ = nullptr;
    bool listensToClick_ = false;
    bool hovered_ = false;
};

// Calls enter for each node of root's subtree in document order and leave after the
// descendants of each node for which enter returned true.
template <class Enter, class Leave>
void WalkTree(DomNode* root, Enter enter, Leave leave) {
    DomNode* n = root;
    bool entered = enter(n);
    for (;;) {
        if (entered && n->firstChild() != nullptr) {
            n = n->firstChild();
            entered = enter(n);
            continue;
        }
        if (entered) leave(n);
        while (n != root && n->nextSibling() == nullptr) {
            n = n->parent();
            leave(n);
        }
        if (n == root) return;
        n = n->nextSibling();
        entered = enter(n);
    }
}

// Whether tag is one of the names of a table of tag names.
template <size_t N>
bool OneOf(const std::wstring& tag, const wchar_t* const (&names)[N]) {
    for (const wchar_t* name : names) {
        if (tag == name) return true;
    }
    return false;
}

// Text as markup shows it: in an attribute value (quotes escaped) or as content.
std::wstring EscapeHtml(const std::wstring& text, bool attribute = false);
// Elements that never have children or an end tag (br, img, input...).
bool IsVoidElement(const std::wstring& tag);
// Elements whose content is raw text up to their end tag (script, style, title, textarea).
bool IsRawTextElement(const std::wstring& tag);

class DomDocument {
public:
    // More nodes than this are refused: a page that makes nodes without end cannot take
    // the process's memory.
    static const size_t kMaxNodes = 200000;

    // A document with its html, head and body elements; serial names the load it shows.
    explicit DomDocument(int serial);
    DomDocument(const DomDocument&) = delete;
    DomDocument& operator=(const DomDocument&) = delete;

    int serial() const { return serial_; }
    DomNode* root() const { return root_; }
    DomNode* head() const { return head_; }
    DomNode* body() const { return body_; }
    DomNode* Node(unsigned serial) const;

    // Null when the document holds kMaxNodes already.
    DomNode* CreateElement(const std::wstring& tag);
    DomNode* CreateText(const std::wstring& text);
    // Inserts child before ref (at the end when ref is null), taking it from where it
    // was; false when child is parent or one of its ancestors, or ref is not parent's child.
    bool Insert(DomNode* parent, DomNode* child, DomNode* ref);
    void Remove(DomNode* child);
    void RemoveChildren(DomNode* parent);

    void SetAttribute(DomNode* element, const std::wstring& name, const std::wstring& value);
    void RemoveAttribute(DomNode* element, const std::wstring& name);
    void SetStyle(DomNode* element, const CssDeclarations& style);
    void SetText(DomNode* textNode, const std::wstring& text);
    // Adds to a text in place: markup that splits one text into many pieces costs its length.
    void AppendText(DomNode* textNode, const std::wstring& more);
    void SetListensToClick(DomNode* element);
    // The element under the pointer (null for none); it and its ancestors are hovered.
    // Not a change of the tree: the caller repaints when the page's styles depend on it.
    void SetHovered(DomNode* element);

    static std::wstring TextContent(DomNode* node);
    void SetTextContent(DomNode* node, const std::wstring& text);
    // The markup of node's children, as a page reads it from innerHTML.
    static std::wstring InnerHtml(DomNode* node);
    DomNode* ElementById(const std::wstring& id) const;
    std::wstring Title() const;
    void SetTitle(const std::wstring& title);

    // Whether the tree changed since the last call, for the painter.
    bool TakeChanged();

private:
    DomNode* Make(DomNode::Type type);
    void Detach(DomNode* child);
    void Changed() { changed_ = true; }

    int serial_;
    std::vector<std::unique_ptr<DomNode>> nodes_;  // index + 1 is the serial
    DomNode* root_;
    DomNode* head_;
    DomNode* body_;
    std::vector<DomNode*> hovered_;  // as the chain was when the pointer came
    bool changed_ = true;
};

}  // namespace engine
