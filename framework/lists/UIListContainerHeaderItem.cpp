#include "UIListContainerHeaderItem.h"

#include <cwchar>

#include "SkinValue.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

}  // namespace

CControlUI* CreateListContainerHeaderItemControl() { return new CListContainerHeaderItemUI; }

const wchar_t* CListContainerHeaderItemUI::GetClass() const { return L"ListContainerHeaderItem"; }

LPVOID CListContainerHeaderItemUI::GetInterface(const wchar_t* name) {
    if (Is(name, L"ListContainerHeaderItem")) return static_cast<CListContainerHeaderItemUI*>(this);
    return CListHeadBase::GetInterface(name);
}

const wchar_t* CListContainerHeaderItemUI::ClickNotification() const { return L"listheaderclick"; }

void CListContainerHeaderItemUI::SetCheck(bool check) {
    if (m_checkBox.SetCheck(check)) Invalidate();
}

void CListContainerHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"editable")) {
        SetColumnEditable(ReadSkinBool(value));
    } else if (Is(name, L"comboable")) {
        SetColumnChoosable(ReadSkinBool(value));
    } else if (Is(name, L"checkable")) {
        SetColumnCheckable(ReadSkinBool(value));
    } else if (!m_checkBox.SetAttribute(name, value)) {
        CListHeadBase::SetAttribute(name, value);
    }
}

// The check box comes before the separator drag, which still sees the same events.
void CListContainerHeaderItemUI::DoEvent(TEventInfo& event) {
    if (m_checkable && (IsMouseEnabled() || !IsMouseEvent(event.Type))) {
        const CListCheckBox::TResult result = m_checkBox.DoEvent(event, m_checkBox.Rect(m_item));
        auto* parent = m_parent != nullptr ? static_cast<IContainerUI*>(m_parent->GetInterface(L"IContainer")) : nullptr;
        if (result.toggled && parent != nullptr && m_manager != nullptr) {
            const int index = parent->GetItemIndex(this);
            m_manager->SendNotify(this, L"listheaditemchecked", static_cast<WPARAM>(index), m_checkBox.GetCheck(),
                                  false);
        }
        if (result.repaint) Invalidate();
    }
    CListHeadBase::DoEvent(event);
}

void CListContainerHeaderItemUI::PaintStatusImage(HDC hdc) {
    CListHeadBase::PaintStatusImage(hdc);
    if (m_checkable) m_checkBox.Paint(hdc, *this, m_checkBox.Rect(m_item));
}

void CListContainerHeaderItemUI::AdjustTextArea(RECT& area, UINT& style) const {
    if (m_checkable) area.left += m_checkBox.GetWidth();
    style |= DT_SINGLELINE;
}

}  // namespace HiveUI
