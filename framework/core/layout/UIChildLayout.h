// CChildLayoutUI: a container whose content is another layout file, built when the
// container is initialised in its window.
#pragma once

#include "UIContainer.h"

namespace HiveUI {

class CChildLayoutUI : public CContainerUI {
public:
    CChildLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void Init() override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void SetChildLayoutXML(const wchar_t* fileName) { m_xmlFile = fileName; }
    const CUIString& GetChildLayoutXML() const { return m_xmlFile; }

private:
    CUIString m_xmlFile;
};

CControlUI* CreateChildLayoutControl();

}  // namespace HiveUI
