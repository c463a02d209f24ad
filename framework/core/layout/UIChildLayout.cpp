#include "UIChildLayout.h"

#include "DialogBuilder.h"

namespace HiveUI {

CChildLayoutUI::CChildLayoutUI() = default;

const wchar_t* CChildLayoutUI::GetClass() const { return L"ChildLayoutUI"; }

LPVOID CChildLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ChildLayout") == 0) return static_cast<CChildLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CChildLayoutUI::Init() {
    // Init runs again whenever the tree is handed a manager; the content is built once.
    if (m_xmlFile.IsEmpty() || GetCount() > 0) return;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(m_xmlFile, nullptr, nullptr, m_manager, nullptr);
    if (root == nullptr) {
        RemoveAll();
        return;
    }
    if (!Add(root)) delete root;
}

void CChildLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"xmlfile") == 0) {
        SetChildLayoutXML(value);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

CControlUI* CreateChildLayoutControl() { return new CChildLayoutUI; }

}  // namespace HiveUI
