#include "DialogBuilder.h"

#include <cstdlib>
#include <cwchar>

#include "ControlAttach.h"
#include "ControlFactory.h"
#include "DpiScale.h"
#include "ResourceStore.h"
#include "SkinValue.h"
#include "UIContainer.h"
#include "UIControl.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

bool Is(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b) == 0; }

bool IsResourceElement(const wchar_t* name) {
    return Is(name, L"Image") || Is(name, L"Font") || Is(name, L"Default") || Is(name, L"Style") || Is(name, L"Import");
}

// Number lists: each number starts one character behind the end of the one before it;
// leading blanks are allowed and a missing number reads as 0.
void ReadNumberList(const wchar_t* value, long* numbers, int count) {
    for (int i = 0; i < count; ++i) {
        wchar_t* end = const_cast<wchar_t*>(value);
        numbers[i] = *value != L'\0' ? wcstol(value, &end, 10) : 0;
        value = *end != L'\0' ? end + 1 : end;
    }
}

SIZE ReadPair(const wchar_t* value) {
    long n[2];
    ReadNumberList(value, n, 2);
    return {n[0], n[1]};
}

RECT ReadQuad(const wchar_t* value) {
    long n[4];
    ReadNumberList(value, n, 4);
    return {n[0], n[1], n[2], n[3]};
}

// The attributes of a resource element, looked up ignoring case.
class CElementAttributes {
public:
    explicit CElementAttributes(CXmlNode& node) : m_node(node) {}
    const wchar_t* Get(const wchar_t* name) {
        const int count = m_node.GetAttributeCount();
        for (int i = 0; i < count; ++i) {
            if (Is(m_node.GetAttributeName(i), name)) return m_node.GetAttributeValue(i);
        }
        return nullptr;
    }
    const wchar_t* Text(const wchar_t* name) {
        const wchar_t* value = Get(name);
        return value != nullptr ? value : L"";
    }
    bool Flag(const wchar_t* name) {
        const wchar_t* value = Get(name);
        return value != nullptr && ReadSkinBool(value);
    }
    int Number(const wchar_t* name, int fallback) {
        const wchar_t* value = Get(name);
        return value != nullptr ? _wtoi(value) : fallback;
    }

private:
    CXmlNode& m_node;
};

void AddImage(CXmlNode& node, CPaintManagerUI* manager) {
    CElementAttributes attributes(node);
    const wchar_t* name = attributes.Get(L"name");
    if (name == nullptr || *name == L'\0') return;
    const wchar_t* type = attributes.Get(L"restype");
    const wchar_t* mask = attributes.Get(L"mask");
    manager->AddImage(name, type, mask != nullptr ? ReadSkinColor(mask, false) : 0, false, attributes.Flag(L"shared"));
}

void AddFont(CXmlNode& node, CPaintManagerUI* manager) {
    CElementAttributes attributes(node);
    const int id = attributes.Number(L"id", -1);
    if (id < 0) return;
    const wchar_t* face = attributes.Text(L"name");
    const int size = attributes.Number(L"size", 12);
    const bool bold = attributes.Flag(L"bold");
    const bool underline = attributes.Flag(L"underline");
    const bool italic = attributes.Flag(L"italic");
    const bool shared = attributes.Flag(L"shared");
    manager->AddFont(id, face, size, bold, underline, italic, shared);
    if (attributes.Flag(L"default")) manager->SetDefaultFont(face, size, bold, underline, italic, shared);
}

void AddAttributeList(CXmlNode& node, CPaintManagerUI* manager, bool style) {
    CElementAttributes attributes(node);
    const wchar_t* name = attributes.Get(L"name");
    if (name == nullptr || *name == L'\0') return;
    const wchar_t* value = attributes.Text(L"value");
    if (style) {
        manager->AddStyle(name, value, attributes.Flag(L"shared"));
    } else {
        manager->AddDefaultAttributeList(name, value, attributes.Flag(L"shared"));
    }
}

void Import(CXmlNode& node, CPaintManagerUI* manager) {
    CElementAttributes attributes(node);
    const wchar_t* file = attributes.Get(L"fontfile");
    if (file != nullptr && *file != L'\0') manager->AddFontFile(file);
}

BYTE ToByte(const wchar_t* value) { return static_cast<BYTE>(_wtoi(value)); }

// The five keys that the window compares exactly; the first match wins.
bool ApplyExactWindowKey(CPaintManagerUI* manager, const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"layeredopacity") == 0) {
        manager->SetLayeredOpacity(ToByte(value));
    } else if (wcscmp(name, L"layered") == 0 || wcscmp(name, L"bktrans") == 0) {
        manager->SetLayered(ReadSkinBool(value));
    } else if (wcscmp(name, L"layeredimage") == 0) {
        manager->SetLayered(true);
        manager->SetLayeredImage(value);
    } else if (wcscmp(name, L"noactivate") == 0) {
        manager->SetNoActivate(ReadSkinBool(value));
    } else {
        return false;
    }
    return true;
}

bool ApplyColorKey(CPaintManagerUI* manager, const wchar_t* name, const wchar_t* value) {
    const DWORD color = ReadSkinColor(value, false);
    if (Is(name, L"disabledfontcolor")) {
        manager->SetDefaultDisabledColor(color, false);
    } else if (Is(name, L"defaultfontcolor")) {
        manager->SetDefaultFontColor(color, false);
    } else if (Is(name, L"linkfontcolor")) {
        manager->SetDefaultLinkFontColor(color, false);
    } else if (Is(name, L"linkhoverfontcolor")) {
        manager->SetDefaultLinkHoverFontColor(color, false);
    } else if (Is(name, L"selectedcolor")) {
        manager->SetDefaultSelectedBkColor(color, false);
    } else {
        return false;
    }
    return true;
}

bool ApplyShadowKey(CShadowUI* shadow, const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"shadowsize")) {
        shadow->SetSize(_wtoi(value));
    } else if (Is(name, L"shadowsharpness")) {
        shadow->SetSharpness(static_cast<unsigned>(_wtoi(value)));
    } else if (Is(name, L"shadowdarkness")) {
        shadow->SetDarkness(static_cast<unsigned>(_wtoi(value)));
    } else if (Is(name, L"shadowposition")) {
        const SIZE offset = ReadPair(value);
        shadow->SetPosition(offset.cx, offset.cy);
    } else if (Is(name, L"shadowcolor")) {
        shadow->SetColor(ReadSkinColor(value, false));
    } else if (Is(name, L"shadowcorner")) {
        shadow->SetShadowCorner(ReadQuad(value));
    } else if (Is(name, L"shadowimage")) {
        shadow->SetImage(value);
    } else if (Is(name, L"showshadow")) {
        shadow->ShowShadow(ReadSkinBool(value));
    } else {
        return false;
    }
    return true;
}

bool ApplyGeometryKey(CPaintManagerUI* manager, const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"size")) {
        const SIZE size = ReadPair(value);
        CDpiScale* scale = manager->GetDpiScale();
        manager->SetInitSize(scale->Scale(size.cx), scale->Scale(size.cy));
    } else if (Is(name, L"sizebox")) {
        manager->SetSizeBox(ReadQuad(value));
    } else if (Is(name, L"caption")) {
        manager->SetCaptionRect(ReadQuad(value));
    } else if (Is(name, L"roundcorner")) {
        const SIZE corner = ReadPair(value);
        manager->SetRoundCorner(corner.cx, corner.cy);
    } else if (Is(name, L"mininfo")) {
        const SIZE size = ReadPair(value);
        manager->SetMinInfo(size.cx, size.cy);
    } else if (Is(name, L"maxinfo")) {
        const SIZE size = ReadPair(value);
        manager->SetMaxInfo(size.cx, size.cy);
    } else {
        return false;
    }
    return true;
}

void ApplyWindowKey(CPaintManagerUI* manager, const wchar_t* name, const wchar_t* value) {
    if (ApplyGeometryKey(manager, name, value)) return;
    if (Is(name, L"showdirty")) {
        manager->SetShowUpdateRect(ReadSkinBool(value));
    } else if (Is(name, L"opacity") || Is(name, L"alpha")) {
        manager->SetOpacity(ToByte(value));
    } else if (ApplyExactWindowKey(manager, name, value) || ApplyColorKey(manager, name, value) ||
               ApplyShadowKey(manager->GetShadow(), name, value)) {
        return;
    } else if (Is(name, L"gdiplustext")) {
        manager->SetUseGdiplusText(ReadSkinBool(value));
    } else if (Is(name, L"textrenderinghint")) {
        manager->SetGdiplusTextRenderingHint(_wtoi(value));
    } else if (Is(name, L"tooltiphovertime")) {
        manager->SetHoverTime(_wtoi(value));
    }
}

}  // namespace

CDialogBuilder::CDialogBuilder() = default;

CControlUI* CDialogBuilder::Create(const wchar_t* layout, const wchar_t* type, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
    if (layout == nullptr || !LoadLayout(layout, type)) return nullptr;
    m_callback = callback;
    return CreateFromDocument(callback, manager, parent);
}

bool CDialogBuilder::LoadLayout(const wchar_t* layout, const wchar_t* type) {
    if (IS_INTRESOURCE(layout)) {
        m_source.Format(L"#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(layout)));
        return LoadFromResource(layout, type);
    }
    if (*layout == L'<') return m_document.Load(layout);
    m_source = layout;
    const wchar_t* path = CResourceStore::GetInstance()->GetXmlPath(layout);
    if (path != nullptr) m_source = path;
    return m_document.LoadFromFile(m_source, XMLFILE_ENCODING_UTF8);
}

bool CDialogBuilder::LoadFromResource(const wchar_t* id, const wchar_t* type) {
    HINSTANCE module = m_instance != nullptr ? m_instance : CPaintManagerUI::GetResourceDll();
    HRSRC found = FindResourceW(module, id, type);
    if (found == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (data == nullptr || size == 0) return false;
    if (!m_document.LoadFromMem(data, size, XMLFILE_ENCODING_UTF8)) return false;
    SetResourceType(type);
    return true;
}

void CDialogBuilder::SetResourceType(const wchar_t* type) {
    if (type == nullptr || IS_INTRESOURCE(type)) {
        m_resourceType = type;
        return;
    }
    m_resourceTypeName = type;
    m_resourceType = m_resourceTypeName;
}

CControlUI* CDialogBuilder::CreateFromDocument(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                               CControlUI* parent) {
    m_callback = callback;
    if (m_includer == nullptr) m_includeBudget = kMaxIncludeCopies;
    CXmlNode root = m_document.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (manager != nullptr) {
        ApplyResourceElements(root, manager);
        if (Is(root.GetName(), L"Window") && manager->GetPaintWindow() != nullptr) ApplyWindowAttributes(root, manager);
    }
    return ParseControls(root, parent, manager);
}

void CDialogBuilder::ApplyResourceElements(CXmlNode& root, CPaintManagerUI* manager) {
    for (CXmlNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* name = node.GetName();
        if (Is(name, L"Image")) {
            AddImage(node, manager);
        } else if (Is(name, L"Font")) {
            AddFont(node, manager);
        } else if (Is(name, L"Default")) {
            AddAttributeList(node, manager, false);
        } else if (Is(name, L"Style")) {
            AddAttributeList(node, manager, true);
        } else if (Is(name, L"Import")) {
            Import(node, manager);
        }
    }
}

void CDialogBuilder::ApplyWindowAttributes(CXmlNode& root, CPaintManagerUI* manager) {
    const int count = root.GetAttributeCount();
    for (int i = 0; i < count; ++i) ApplyWindowKey(manager, root.GetAttributeName(i), root.GetAttributeValue(i));
}

bool CDialogBuilder::IsOnIncludeChain(const CUIString& source) const {
    for (const CDialogBuilder* builder = this; builder != nullptr; builder = builder->m_includer) {
        if (!builder->m_source.IsEmpty() && builder->m_source.CompareNoCase(source) == 0) return true;
    }
    return false;
}

void CDialogBuilder::BuildInclude(CXmlNode& node, CControlUI* parent, CPaintManagerUI* manager) {
    enum { kValueChars = 499 };
    wchar_t value[kValueChars + 1] = {};
    if (!node.HasAttributes() || !node.GetAttributeValueByName(L"source", value, kValueChars)) return;
    CUIString source = value;
    int count = 1;
    if (node.GetAttributeValueByName(L"count", value, kValueChars)) count = _wtoi(value);
    const bool fromResource = m_resourceType != nullptr;
    const wchar_t* layout = fromResource ? MAKEINTRESOURCEW(_wtoi(source)) : source.GetData();
    CUIString key;
    if (fromResource) key.Format(L"#%d", _wtoi(source));
    const wchar_t* path = fromResource ? nullptr : CResourceStore::GetInstance()->GetXmlPath(source);
    if (IsOnIncludeChain(fromResource ? key : CUIString(path != nullptr ? path : source.GetData()))) return;
    count = TakeIncludeCopies(source, count);
    for (int i = 0; i < count; ++i) {
        CDialogBuilder include;
        include.m_instance = m_instance;
        include.m_includer = this;
        include.m_nesting = m_nesting + 1;
        include.Create(layout, m_resourceType, m_callback, manager, parent);
    }
}

// The copies that Include elements make in one build, nested ones too, come from one
// budget kept by the outermost builder: a damaged count, or counts multiplied through
// nested includes, build a bounded window instead of filling the memory.
int CDialogBuilder::TakeIncludeCopies(const CUIString& source, int count) {
    CDialogBuilder* outermost = this;
    while (outermost->m_includer != nullptr) outermost = outermost->m_includer;
    const int granted = count < 0 ? 0 : count > outermost->m_includeBudget ? outermost->m_includeBudget : count;
    outermost->m_includeBudget -= granted;
    if (granted < count) {
        CUIString line;
        line.Format(L"HiveUI: Include of \"%s\" asks for %d copies; %d built, the rest left out (at most %d in one "
                    L"layout)\n",
                    source.GetData(), count, granted, kMaxIncludeCopies);
        OutputDebugStringW(line.GetData());
    }
    return granted;
}

CControlUI* CDialogBuilder::MakeControl(const wchar_t* elementName) {
    CUIString className;
    className.Format(L"C%sUI", elementName);
    CControlUI* control = CControlFactory::GetInstance()->CreateControl(className);
    const CUIPtrArray* creators = CPaintManagerUI::GetControlCreators();
    for (int i = 0; control == nullptr && i < creators->GetSize(); ++i) {
        ControlCreatorProc creator = reinterpret_cast<ControlCreatorProc>(creators->GetAt(i));
        if (creator != nullptr) control = creator(elementName);
    }
    if (control == nullptr && m_callback != nullptr) control = m_callback->CreateControl(elementName);
    return control;
}

CControlUI* CDialogBuilder::ParseControls(CXmlNode& node, CControlUI* parent, CPaintManagerUI* manager) {
    if (m_nesting >= kMaxNesting) return nullptr;
    ++m_nesting;
    IContainerUI* container = nullptr;
    CControlUI* first = nullptr;
    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        const wchar_t* name = child.GetName();
        if (IsResourceElement(name)) continue;
        if (Is(name, L"Include")) {
            BuildInclude(child, parent, manager);
            continue;
        }
        CControlUI* control = MakeControl(name);
        if (control == nullptr) continue;
        if (child.HasChildren()) ParseControls(child, control, manager);
        const Attach attach = parent != nullptr ? AttachToParent(control, parent, container) : Attach::Done;
        if (attach == Attach::NoContainer) {
            // Nothing could own it: it goes, and the whole pass fails.
            delete control;
            --m_nesting;
            return nullptr;
        }
        if (attach == Attach::Refused) {
            delete control;
            continue;
        }
        Configure(control, child, manager);
        if (first == nullptr) first = control;
    }
    --m_nesting;
    return first;
}

// Class defaults first, then the element's own attributes, with the manager bound only
// while they are applied: the finished tree gets it for good when it is attached.
void CDialogBuilder::Configure(CControlUI* control, CXmlNode& node, CPaintManagerUI* manager) {
    // A parent that already lives in a window has bound the control on Add; it stays so.
    CPaintManagerUI* boundManager = control->GetManager();
    CControlUI* boundParent = control->GetParent();
    if (manager != nullptr) {
        control->SetManager(manager, nullptr, false);
        const wchar_t* defaults = manager->GetDefaultAttributeList(node.GetName());
        if (defaults != nullptr) control->ApplyAttributeList(defaults);
    }
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i) control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    if (manager != nullptr) control->SetManager(boundManager, boundParent, false);
}

}  // namespace HiveUI
