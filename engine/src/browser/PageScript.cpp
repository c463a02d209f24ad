#include "PageScript.h"

#include <cwctype>
#include <string>

#include "DomDocument.h"
#include "Frame.h"
#include "HtmlParser.h"
#include "ScriptContext.h"

namespace engine {
namespace {

// The script half of the page model. Nodes are named by their serial numbers between
// the two halves; each node has one wrapper object for the document's life, so a page
// can compare elements and keep its own properties on them.
const char kPageModel[] = R"JS((function (n, KEY, global) {
    'use strict';
    var wrappers = {}, handlers = {}, listeners = {}, styles = {}, timers = {};

    function str(v) { return v === null || v === undefined ? '' : String(v); }
    function prop(o, name, get, set) {
        Object.defineProperty(o, name, { get: get, set: set, enumerable: true, configurable: true });
    }
    function serial(o) {
        var s = o !== null && typeof o === 'object' ? o[KEY] : undefined;
        if (typeof s !== 'number') throw new TypeError('the argument is not a node');
        return s;
    }
    function wrap(s) {
        if (!s) return null;
        var w = wrappers[s];
        if (!w) {
            w = Object.create(n.kind(s) === 1 ? Element : Text);
            Object.defineProperty(w, KEY, { value: s });
            wrappers[s] = w;
        }
        return w;
    }
    function invoke(fn, self, ev) {
        try { return fn.call(self, ev); } catch (e) { n.reportError(e); }
    }

    var Node = {};
    prop(Node, 'nodeType', function () { return n.kind(serial(this)); });
    prop(Node, 'nodeName', function () { return n.tag(serial(this)); });
    prop(Node, 'parentNode', function () {
        var s = serial(this);
        return s === n.root() ? document : wrap(n.parent(s));
    });
    prop(Node, 'parentElement', function () { return wrap(n.parent(serial(this))); });
    prop(Node, 'childNodes', function () { return n.children(serial(this), false).map(wrap); });
    prop(Node, 'firstChild', function () { return wrap(n.children(serial(this), false)[0]); });
    prop(Node, 'lastChild', function () {
        var c = n.children(serial(this), false);
        return wrap(c[c.length - 1]);
    });
    prop(Node, 'textContent', function () { return n.text(serial(this)); },
         function (v) { n.setText(serial(this), str(v)); });
    Node.appendChild = function (child) { n.insert(serial(this), serial(child), 0); return child; };
    Node.insertBefore = function (child, ref) {
        n.insert(serial(this), serial(child), ref ? serial(ref) : 0);
        return child;
    };
    Node.removeChild = function (child) { n.remove(serial(this), serial(child)); return child; };
    Node.addEventListener = function (type, fn) { listen(serial(this), String(type), fn); };
    Node.removeEventListener = function (type, fn) { unlisten(serial(this), String(type), fn); };

    var Text = Object.create(Node);
    prop(Text, 'data', function () { return n.text(serial(this)); }, function (v) { n.setText(serial(this), str(v)); });
    prop(Text, 'nodeValue', function () { return n.text(serial(this)); }, function (v) { n.setText(serial(this), str(v)); });

    var Element = Object.create(Node);
    prop(Element, 'tagName', function () { return n.tag(serial(this)); });
    function reflect(name, attribute) {
        prop(Element, name, function () { return str(n.attr(serial(this), attribute)); },
             function (v) { n.setAttr(serial(this), attribute, str(v)); });
    }
    reflect('id', 'id');
    reflect('className', 'class');
    reflect('title', 'title');
    reflect('href', 'href');
    prop(Element, 'children', function () { return n.children(serial(this), true).map(wrap); });
    prop(Element, 'innerHTML', function () { return n.html(serial(this)); },
         function (v) { n.setHtml(serial(this), str(v)); });
    prop(Element, 'innerText', function () { return n.text(serial(this)); },
         function (v) { n.setText(serial(this), str(v)); });
    prop(Element, 'style', function () {
        var s = serial(this);
        return styles[s] || (styles[s] = makeStyle(s));
    }, function (v) { n.setCssText(serial(this), str(v)); });
    prop(Element, 'onclick', function () { return handlerOf(serial(this), 'click'); }, function (fn) {
        var s = serial(this);
        handlers['click ' + s] = { code: n.attr(s, 'onclick'), fn: typeof fn === 'function' ? fn : null };
        if (typeof fn === 'function') n.listen(s);
    });
    Element.getAttribute = function (name) { return n.attr(serial(this), String(name)); };
    Element.setAttribute = function (name, value) { n.setAttr(serial(this), String(name), String(value)); };
    Element.removeAttribute = function (name) { n.removeAttr(serial(this), String(name)); };
    Element.hasAttribute = function (name) { return n.attr(serial(this), String(name)) !== null; };
    Element.click = function () { activate(serial(this)); };

    function cssName(key) {
        return key === 'cssFloat' ? 'float' : key.replace(/[A-Z]/g, function (c) { return '-' + c.toLowerCase(); });
    }
    function makeStyle(s) {
        var methods = {
            setProperty: function (name, value) { n.setStyle(s, String(name), str(value)); },
            getPropertyValue: function (name) { return n.style(s, String(name)); },
            removeProperty: function (name) {
                var old = n.style(s, String(name));
                n.setStyle(s, String(name), '');
                return old;
            }
        };
        return new Proxy({}, {
            get: function (target, key) {
                if (typeof key !== 'string') return undefined;
                if (key === 'cssText') return n.cssText(s);
                if (methods.hasOwnProperty(key)) return methods[key];
                return n.style(s, cssName(key));
            },
            set: function (target, key, value) {
                if (key === 'cssText') n.setCssText(s, str(value));
                else n.setStyle(s, cssName(String(key)), str(value));
                return true;
            }
        });
    }

    function listenersOf(key, type) {
        var k = type + ' ' + key;
        return listeners[k] || (listeners[k] = []);
    }
    function listen(key, type, fn) {
        if (typeof fn !== 'function') return;
        var list = listenersOf(key, type);
        if (list.indexOf(fn) < 0) list.push(fn);
        if (type === 'click' && typeof key === 'number') n.listen(key);
    }
    function unlisten(key, type, fn) {
        var list = listenersOf(key, type), i = list.indexOf(fn);
        if (i >= 0) list.splice(i, 1);
    }
    // The handler of an on<type> attribute, compiled again when the attribute changes.
    function handlerOf(s, type) {
        var code = n.attr(s, 'on' + type), entry = handlers[type + ' ' + s];
        if (code !== null && (!entry || entry.code !== code)) {
            entry = handlers[type + ' ' + s] = { code: code, fn: null };
            try { entry.fn = new Function('event', code); } catch (e) { n.reportError(e); }
        }
        return entry ? entry.fn : null;
    }
    function makeEvent(type, target) {
        return {
            type: type, target: target, currentTarget: null, bubbles: true, cancelable: true,
            defaultPrevented: false, cancelBubble: false, timeStamp: Date.now(),
            preventDefault: function () { this.defaultPrevented = true; },
            stopPropagation: function () { this.cancelBubble = true; }
        };
    }
    function notify(key, self, ev) {
        var list = listenersOf(key, ev.type).slice();
        for (var i = 0; i < list.length; i++) invoke(list[i], self, ev);
    }
    // An event goes from its element up through the ancestors, then to the document and
    // the window when the element is in the document.
    function dispatch(s, type) {
        var ev = makeEvent(type, wrap(s)), last = 0;
        for (var at = s; at && !ev.cancelBubble; at = n.parent(at)) {
            var el = wrap(at), handler = handlerOf(at, type);
            last = at;
            ev.currentTarget = el;
            if (handler && invoke(handler, el, ev) === false) ev.defaultPrevented = true;
            notify(at, el, ev);
        }
        if (last !== n.root()) return ev;
        if (!ev.cancelBubble) notify('document', document, ev);
        if (!ev.cancelBubble) notify('window', global, ev);
        return ev;
    }
    function follow(href) {
        var script = /^\s*javascript:([\s\S]*)$/i.exec(href);
        if (!script) return n.navigate(href);
        var code = script[1];
        try { code = decodeURIComponent(code); } catch (e) { }
        try { (0, eval)(code); } catch (e) { n.reportError(e); }
    }
    // A click: the handlers, then, unless one prevented it, the nearest link is followed.
    function activate(s) {
        if (dispatch(s, 'click').defaultPrevented) return;
        for (var at = s; at; at = n.parent(at)) {
            var href = n.tag(at) === 'A' ? n.attr(at, 'href') : null;
            if (href !== null) return follow(href);
        }
    }
    function fireLoad() {
        notify('document', document, makeEvent('DOMContentLoaded', document));
        var ev = makeEvent('load', document);
        var onload = typeof global.onload === 'function' ? global.onload : handlerOf(n.body(), 'load');
        if (onload) invoke(onload, global, ev);
        notify('window', global, ev);
    }

    function timer(repeat) {
        return function (fn, delay) {
            var id = n.setTimer(Number(delay) || 0, repeat);
            timers[id] = { fn: fn, args: Array.prototype.slice.call(arguments, 2) };
            return id;
        };
    }
    function clearTimer(id) {
        id = Number(id);
        if (timers[id]) {
            delete timers[id];
            n.clearTimer(id);
        }
    }
    function fireTimer(id, repeat) {
        var t = timers[id];
        if (!t) return;
        if (!repeat) delete timers[id];
        if (typeof t.fn === 'function') t.fn.apply(global, t.args);
        else (0, eval)(String(t.fn));
    }
    global.setTimeout = timer(false);
    global.setInterval = timer(true);
    global.clearTimeout = function (id) { clearTimer(id); };
    global.clearInterval = function (id) { clearTimer(id); };

    var location = {
        assign: function (url) { n.navigate(str(url)); },
        replace: function (url) { n.navigate(str(url)); },
        reload: function () { n.reload(); },
        toString: function () { return n.url(); }
    };
    prop(location, 'href', function () { return n.url(); }, function (v) { n.navigate(str(v)); });
    Object.defineProperty(global, 'location', {
        get: function () { return location; }, set: function (v) { n.navigate(str(v)); }, enumerable: true
    });

    var document = {
        nodeType: 9,
        getElementById: function (id) { return wrap(n.byId(str(id))); },
        createElement: function (tag) { return wrap(n.create(str(tag))); },
        createTextNode: function (text) { return wrap(n.createText(str(text))); },
        addEventListener: function (type, fn) { listen('document', String(type), fn); },
        removeEventListener: function (type, fn) { unlisten('document', String(type), fn); }
    };
    prop(document, 'documentElement', function () { return wrap(n.root()); });
    prop(document, 'head', function () { return wrap(n.head()); });
    prop(document, 'body', function () { return wrap(n.body()); });
    prop(document, 'title', function () { return n.title(); }, function (v) { n.setTitle(str(v)); });
    prop(document, 'location', function () { return location; }, function (v) { n.navigate(str(v)); });
    Object.defineProperty(global, 'document', { value: document, enumerable: true });
    global.addEventListener = function (type, fn) { listen('window', String(type), fn); };
    global.removeEventListener = function (type, fn) { unlisten('window', String(type), fn); };

    return { fireTimer: fireTimer, activate: activate, fireLoad: fireLoad };
}))JS";

ScriptContext& Context(duk_context* heap) { return *ScriptContext::FromHeap(heap); }

DomDocument& Doc(duk_context* heap) {
    DomDocument* doc = Context(heap).Document();
    if (doc == nullptr) (void)duk_error(heap, DUK_ERR_ERROR, "the page's document is gone");
    return *doc;
}

DomNode* NodeAt(duk_context* heap, duk_idx_t idx) {
    DomNode* node = Doc(heap).Node(duk_get_uint(heap, idx));
    if (node == nullptr) (void)duk_type_error(heap, "not a node of this document");
    return node;
}

DomNode* ElementAt(duk_context* heap, duk_idx_t idx) {
    DomNode* node = NodeAt(heap, idx);
    if (!node->IsElement()) (void)duk_type_error(heap, "not an element");
    return node;
}

std::wstring WideAt(duk_context* heap, duk_idx_t idx) {
    duk_size_t len = 0;
    const char* text = duk_safe_to_lstring(heap, idx, &len);
    return CefString(std::string(text, len)).ToWString();
}

void PushWide(duk_context* heap, const std::wstring& text) {
    const std::string utf8 = CefString(text).ToString();
    duk_push_lstring(heap, utf8.data(), utf8.size());
}

duk_ret_t PushNode(duk_context* heap, const DomNode* node) {
    duk_push_uint(heap, node != nullptr ? node->serial() : 0);
    return 1;
}

// Names of elements and attributes as the DOM accepts them from a script.
bool IsValidName(const std::wstring& name) {
    if (name.empty() || !std::iswalpha(name[0])) return false;
    for (wchar_t c : name) {
        if (!std::iswalnum(c) && c != L'-' && c != L'_' && c != L':' && c != L'.') return false;
    }
    return true;
}

// Magic: 0 the root element, 1 head, 2 body.
duk_ret_t Landmark(duk_context* heap) {
    DomDocument& doc = Doc(heap);
    const int which = duk_get_current_magic(heap);
    return PushNode(heap, which == 0 ? doc.root() : which == 1 ? doc.head() : doc.body());
}

// Magic: 0 an element of the tag, 1 a text node.
duk_ret_t Create(duk_context* heap) {
    DomDocument& doc = Doc(heap);
    const std::wstring argument = WideAt(heap, 0);
    const bool element = duk_get_current_magic(heap) == 0;
    if (element && !IsValidName(argument)) (void)duk_error(heap, DUK_ERR_ERROR, "InvalidCharacterError: not a valid tag name");
    DomNode* node = element ? doc.CreateElement(argument) : doc.CreateText(argument);
    if (node == nullptr) (void)duk_error(heap, DUK_ERR_RANGE_ERROR, "the document holds too many nodes");
    return PushNode(heap, node);
}

duk_ret_t Kind(duk_context* heap) {
    duk_push_int(heap, NodeAt(heap, 0)->IsElement() ? 1 : 3);
    return 1;
}

duk_ret_t Tag(duk_context* heap) {
    const DomNode* node = NodeAt(heap, 0);
    std::wstring name = node->IsElement() ? node->tag() : L"#text";
    if (node->IsElement()) {
        for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    }
    PushWide(heap, name);
    return 1;
}

duk_ret_t Parent(duk_context* heap) { return PushNode(heap, NodeAt(heap, 0)->parent()); }

duk_ret_t Children(duk_context* heap) {
    const DomNode* node = NodeAt(heap, 0);
    const bool elementsOnly = duk_get_boolean(heap, 1) != 0;
    duk_push_array(heap);
    duk_uarridx_t i = 0;
    for (const DomNode* c = node->firstChild(); c != nullptr; c = c->nextSibling()) {
        if (elementsOnly && !c->IsElement()) continue;
        duk_push_uint(heap, c->serial());
        duk_put_prop_index(heap, -2, i++);
    }
    return 1;
}

duk_ret_t Insert(duk_context* heap) {
    DomNode* parent = NodeAt(heap, 0);
    DomNode* child = NodeAt(heap, 1);
    DomNode* ref = duk_get_uint(heap, 2) != 0 ? NodeAt(heap, 2) : nullptr;
    if (!parent->IsElement() || child->Contains(parent)) {
        (void)duk_error(heap, DUK_ERR_ERROR, "HierarchyRequestError: the new child is an ancestor of the parent");
    }
    if (ref != nullptr && ref->parent() != parent) {
        (void)duk_error(heap, DUK_ERR_ERROR, "NotFoundError: the reference node is not a child of this node");
    }
    Doc(heap).Insert(parent, child, ref);
    return 0;
}

duk_ret_t Remove(duk_context* heap) {
    DomNode* parent = NodeAt(heap, 0);
    DomNode* child = NodeAt(heap, 1);
    if (child->parent() != parent) (void)duk_error(heap, DUK_ERR_ERROR, "NotFoundError: the node is not a child of this node");
    Doc(heap).Remove(child);
    return 0;
}

duk_ret_t GetAttribute(duk_context* heap) {
    const DomNode* node = NodeAt(heap, 0);
    const std::wstring* value = node->IsElement() ? node->Attribute(ToLower(WideAt(heap, 1))) : nullptr;
    if (value != nullptr) PushWide(heap, *value);
    else duk_push_null(heap);
    return 1;
}

duk_ret_t SetAttribute(duk_context* heap) {
    DomNode* element = ElementAt(heap, 0);
    const std::wstring name = ToLower(WideAt(heap, 1));
    if (!IsValidName(name)) (void)duk_error(heap, DUK_ERR_ERROR, "InvalidCharacterError: not a valid attribute name");
    Doc(heap).SetAttribute(element, name, WideAt(heap, 2));
    return 0;
}

duk_ret_t RemoveAttribute(duk_context* heap) {
    Doc(heap).RemoveAttribute(ElementAt(heap, 0), WideAt(heap, 1));
    return 0;
}

duk_ret_t GetText(duk_context* heap) {
    PushWide(heap, DomDocument::TextContent(NodeAt(heap, 0)));
    return 1;
}

duk_ret_t SetText(duk_context* heap) {
    Doc(heap).SetTextContent(NodeAt(heap, 0), WideAt(heap, 1));
    return 0;
}

duk_ret_t GetHtml(duk_context* heap) {
    PushWide(heap, DomDocument::InnerHtml(ElementAt(heap, 0)));
    return 1;
}

duk_ret_t SetHtml(duk_context* heap) {
    DomNode* element = ElementAt(heap, 0);
    DomDocument& doc = Doc(heap);
    doc.RemoveChildren(element);
    ParseFragment(WideAt(heap, 1), doc, element);
    return 0;
}

duk_ret_t ById(duk_context* heap) { return PushNode(heap, Doc(heap).ElementById(WideAt(heap, 0))); }

duk_ret_t GetTitle(duk_context* heap) {
    PushWide(heap, Doc(heap).Title());
    return 1;
}

duk_ret_t SetTitle(duk_context* heap) {
    Doc(heap).SetTitle(WideAt(heap, 0));
    return 0;
}

duk_ret_t GetStyle(duk_context* heap) {
    PushWide(heap, DeclarationValue(ElementAt(heap, 0)->style(), ToLower(Trim(WideAt(heap, 1)))));
    return 1;
}

duk_ret_t SetStyle(duk_context* heap) {
    DomNode* element = ElementAt(heap, 0);
    CssDeclarations style = element->style();
    SetDeclaration(style, ToLower(Trim(WideAt(heap, 1))), WideAt(heap, 2));
    Doc(heap).SetStyle(element, style);
    return 0;
}

duk_ret_t GetCssText(duk_context* heap) {
    PushWide(heap, SerializeDeclarations(ElementAt(heap, 0)->style()));
    return 1;
}

duk_ret_t SetCssText(duk_context* heap) {
    DomNode* element = ElementAt(heap, 0);
    Doc(heap).SetStyle(element, ParseDeclarations(WideAt(heap, 1)));
    return 0;
}

duk_ret_t Listen(duk_context* heap) {
    Doc(heap).SetListensToClick(ElementAt(heap, 0));
    return 0;
}

FrameImpl& FrameOf(duk_context* heap) {
    FrameImpl* frame = Context(heap).Frame();
    if (frame == nullptr) (void)duk_error(heap, DUK_ERR_ERROR, "the page's frame is gone");
    return *frame;
}

duk_ret_t GetUrl(duk_context* heap) {
    PushWide(heap, FrameOf(heap).GetURL().ToWString());
    return 1;
}

duk_ret_t Navigate(duk_context* heap) {
    FrameOf(heap).NavigateFromPage(WideAt(heap, 0));
    return 0;
}

duk_ret_t Reload(duk_context* heap) {
    FrameOf(heap).ReloadFromPage();
    return 0;
}

duk_ret_t SetTimer(duk_context* heap) {
    duk_push_int(heap, Context(heap).AddTimer(duk_get_number(heap, 0), duk_get_boolean(heap, 1) != 0));
    return 1;
}

duk_ret_t ClearTimer(duk_context* heap) {
    Context(heap).RemoveTimer(duk_get_int(heap, 0));
    return 0;
}

// An error a page handler threw: logged as uncaught, as the browser's console shows it.
duk_ret_t ReportError(duk_context* heap) {
    duk_dup(heap, 0);
    ScriptContext::LogScriptError(heap, FrameOf(heap).GetURL().ToString());
    return 0;
}

struct Native {
    const char* name;
    duk_c_function function;
    duk_idx_t arguments;
    int magic;
};

const Native kNatives[] = {
    {"root", Landmark, 0, 0},       {"head", Landmark, 0, 1},          {"body", Landmark, 0, 2},
    {"create", Create, 1, 0},       {"createText", Create, 1, 1},      {"kind", Kind, 1, 0},
    {"tag", Tag, 1, 0},             {"parent", Parent, 1, 0},          {"children", Children, 2, 0},
    {"insert", Insert, 3, 0},       {"remove", Remove, 2, 0},          {"attr", GetAttribute, 2, 0},
    {"setAttr", SetAttribute, 3, 0}, {"removeAttr", RemoveAttribute, 2, 0}, {"text", GetText, 1, 0},
    {"setText", SetText, 2, 0},     {"html", GetHtml, 1, 0},           {"setHtml", SetHtml, 2, 0},
    {"byId", ById, 1, 0},           {"title", GetTitle, 0, 0},         {"setTitle", SetTitle, 1, 0},
    {"style", GetStyle, 2, 0},      {"setStyle", SetStyle, 3, 0},      {"cssText", GetCssText, 1, 0},
    {"setCssText", SetCssText, 2, 0}, {"listen", Listen, 1, 0},       {"url", GetUrl, 0, 0},
    {"navigate", Navigate, 1, 0},   {"reload", Reload, 0, 0},          {"setTimer", SetTimer, 2, 0},
    {"clearTimer", ClearTimer, 1, 0}, {"reportError", ReportError, 1, 0},
};

}  // namespace

void InstallPageScript(duk_context* heap) {
    duk_eval_string(heap, kPageModel);
    duk_push_object(heap);
    for (const Native& native : kNatives) {
        duk_push_c_function(heap, native.function, native.arguments);
        duk_set_magic(heap, -1, native.magic);
        duk_put_prop_string(heap, -2, native.name);
    }
    duk_push_string(heap, DUK_HIDDEN_SYMBOL("node"));
    duk_push_global_object(heap);
    duk_call(heap, 3);
    duk_push_heap_stash(heap);
    duk_dup(heap, -2);
    duk_put_prop_string(heap, -2, "page");
    duk_pop_2(heap);
}

}  // namespace engine
