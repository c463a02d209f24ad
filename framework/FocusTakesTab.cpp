// Whether the focused control keeps the Tab key. The controls that do live above the
// core, so the paint manager's answer is given here, where every control is seen.
#include "UIManager.h"

#include "UIControl.h"
#include "UIRichEdit.h"

namespace HiveUI {

// The web view keeps the Tab key for itself, and so will a rich edit that wants tabs
// once that control can be asked.
bool CPaintManagerUI::FocusTakesTab() const {
    CUIString className = m_focus->GetClass();
    if (className.Find(L"WkeWebkitUI") >= 0) return true;
    // The rich edit answers "RichEdit" as its class; it keeps Tab only when it asked for it.
    if (className.Find(L"RichEdit") < 0) return false;
    auto* richEdit = static_cast<CRichEditUI*>(m_focus->GetInterface(L"RichEdit"));
    return richEdit != nullptr && richEdit->IsWantTab();
}

}  // namespace HiveUI
