// CDialogBuilder: turns a layout document into a window's control tree. It registers the
// document's window resources, applies the root's window settings to the paint manager,
// then makes one control per element and attaches it to its parent's container.
#pragma once

#include <windows.h>

#include "UIString.h"
#include "XmlDocument.h"

namespace HiveUI {

class CControlUI;
class CPaintManagerUI;

// Asked for the controls of element names that no creator knows.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual CControlUI* CreateControl(const wchar_t* className) = 0;
};

// An entry of the manager's process-wide creator list.
typedef CControlUI* (*ControlCreatorProc)(const wchar_t* elementName);

class CDialogBuilder {
public:
    CDialogBuilder();
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // layout: a resource id (MAKEINTRESOURCE), the XML text itself (starting with '<'),
    // or a skin file name.
    CControlUI* Create(const wchar_t* layout, const wchar_t* type = nullptr, IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    CControlUI* CreateFromDocument(IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                                   CControlUI* parent = nullptr);
    CControlUI* ParseControls(CXmlNode& node, CControlUI* parent, CPaintManagerUI* manager);

    CXmlDocument* GetMarkup() { return &m_document; }
    void SetInstance(HINSTANCE instance) { m_instance = instance; }

    // Layouts nested deeper than this (elements and includes together) are cut off there.
    static constexpr int kMaxNesting = 200;
    // The most copies that the Include elements of one layout build, nested ones counted.
    static constexpr int kMaxIncludeCopies = 200;

private:
    bool LoadLayout(const wchar_t* layout, const wchar_t* type);
    bool LoadFromResource(const wchar_t* id, const wchar_t* type);
    void SetResourceType(const wchar_t* type);
    void ApplyResourceElements(CXmlNode& root, CPaintManagerUI* manager);
    void ApplyWindowAttributes(CXmlNode& root, CPaintManagerUI* manager);
    void BuildInclude(CXmlNode& node, CControlUI* parent, CPaintManagerUI* manager);
    bool IsOnIncludeChain(const CUIString& source) const;
    int TakeIncludeCopies(const CUIString& source, int count);
    CControlUI* MakeControl(const wchar_t* elementName);
    void Configure(CControlUI* control, CXmlNode& node, CPaintManagerUI* manager);

    CXmlDocument m_document;
    IDialogBuilderCallback* m_callback = nullptr;
    const wchar_t* m_resourceType = nullptr;
    HINSTANCE m_instance = nullptr;

    // A named resource type is kept here so m_resourceType stays valid.
    CUIString m_resourceTypeName;
    // The builder that included this one, and what it included, to refuse include cycles.
    CDialogBuilder* m_includer = nullptr;
    CUIString m_source;
    int m_nesting = 0;
    int m_includeBudget = kMaxIncludeCopies;  // left for this build, in the outermost builder
};

}  // namespace HiveUI
