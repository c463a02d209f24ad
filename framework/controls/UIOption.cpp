#include "UIOption.h"

#include <cwchar>

#include "ControlLook.h"
#include "UIManager.h"
#include "UIPtrArray.h"
#include "UIRender.h"

namespace HiveUI {

CControlUI* CreateOptionControl() { return new COptionUI; }

COptionUI::COptionUI()
    : m_selected(false), m_selectedFont(-1), m_selectedBkColor(0), m_selectedTextColor(0), m_selectedStateCount(0) {}

COptionUI::~COptionUI() { LeaveGroup(); }

const wchar_t* COptionUI::GetClass() const { return L"OptionUI"; }

LPVOID COptionUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Option") == 0) return static_cast<COptionUI*>(this);
    return CButtonUI::GetInterface(name);
}

bool COptionUI::Activate() {
    CDestructionWatch watch(m_watch);
    if (!CButtonUI::Activate()) return false;
    if (watch.IsGone()) return true;
    Selected(m_group.IsEmpty() ? !m_selected : true, true);
    return true;
}

// The group list lives in one manager: an option that moves to another manager (or to
// none) leaves it, so the list never holds an option that is gone.
void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    if (manager != m_manager) LeaveGroup();
    CButtonUI::SetManager(manager, parent, init);
    if (init && m_manager != nullptr) JoinGroup();
}

void COptionUI::JoinGroup() {
    if (m_manager != nullptr && !m_group.IsEmpty()) m_manager->AddOptionGroup(m_group, this);
}

void COptionUI::LeaveGroup() {
    if (m_manager != nullptr && !m_group.IsEmpty()) m_manager->RemoveOptionGroup(m_group, this);
}

// The selected bit is kept: it shows the selection, which enabling does not change.
void COptionUI::SetEnabled(bool enable) {
    CButtonUI::SetEnabled(enable);
    if (m_selected) m_buttonState |= UISTATE_SELECTED;
}

void COptionUI::SetGroup(const wchar_t* group) {
    const CUIString name = group;
    if (name == m_group) return;
    LeaveGroup();
    m_group = name;
    JoinGroup();
}

void COptionUI::Selected(bool selected, bool trigger) { ApplySelection(selected, trigger, false); }

void COptionUI::ApplySelection(bool selected, bool trigger, bool flagInNotify) {
    if (m_selected == selected) return;
    m_selected = selected;
    m_buttonState = selected ? (m_buttonState | UISTATE_SELECTED) : (m_buttonState & ~UISTATE_SELECTED);
    if (m_manager != nullptr && !m_group.IsEmpty()) {
        if (!selected) return Invalidate();
        if (const CUIPtrArray* members = m_manager->GetOptionGroup(m_group)) {
            for (int i = 0; i < members->GetSize(); ++i) {
                auto* member = static_cast<CControlUI*>(members->GetAt(i));
                auto* option = static_cast<COptionUI*>(member->GetInterface(L"Option"));
                if (option != nullptr && option != this) option->Selected(false, trigger);
            }
        }
    }
    if (m_manager != nullptr && trigger) {
        CDestructionWatch watch(m_watch);
        m_manager->SendNotify(this, L"selectchanged", flagInNotify ? (selected ? 1 : 0) : 0);
        if (watch.IsGone()) return;
    }
    Invalidate();
}

const wchar_t* COptionUI::GetSelectedStateImage() const { return m_selectedStateImage; }

void COptionUI::SetSelectedStateImage(const wchar_t* image) { SetLook(*this, m_selectedStateImage, image); }
void COptionUI::SetSelectedImage(const wchar_t* image) { SetLook(*this, m_selectedImage, image); }
void COptionUI::SetSelectedHotImage(const wchar_t* image) { SetLook(*this, m_selectedHotImage, image); }
void COptionUI::SetSelectedPushedImage(const wchar_t* image) { SetLook(*this, m_selectedPushedImage, image); }
void COptionUI::SetSelectedForeImage(const wchar_t* image) { SetLook(*this, m_selectedForeImage, image); }
void COptionUI::SetSelectedStateCount(int count) { SetLook(*this, m_selectedStateCount, count); }
void COptionUI::SetSelectedFont(int font) { SetLook(*this, m_selectedFont, font); }

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    static const struct {
        const wchar_t* key;
        void (COptionUI::*set)(const wchar_t*);
    } images[] = {
        {L"selectedimage", &COptionUI::SetSelectedImage},
        {L"selectedhotimage", &COptionUI::SetSelectedHotImage},
        {L"selectedpushedimage", &COptionUI::SetSelectedPushedImage},
        {L"selectedforeimage", &COptionUI::SetSelectedForeImage},
        {L"selectedstateimage", &COptionUI::SetSelectedStateImage},
    };
    if (IsKey(name, L"group")) return SetGroup(value);
    if (IsKey(name, L"selected")) return Selected(ReadSkinBool(value), true);
    for (const auto& image : images)
        if (IsKey(name, image.key)) return (this->*image.set)(value);
    if (IsKey(name, L"selectedstatecount")) {
        SetSelectedStateCount(ReadSkinNumber(value));
    } else if (IsKey(name, L"selectedbkcolor")) {
        SetSelectedBkColor(ReadSkinColor(value, false));
    } else if (IsKey(name, L"selectedtextcolor")) {
        SetSelectedTextColor(ReadSkinColor(value, false));
    } else if (IsKey(name, L"selectedfont")) {
        SetSelectedFont(ReadSkinNumber(value));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

void COptionUI::PaintBkColor(HDC hdc) {
    if (!m_selected) return CButtonUI::PaintBkColor(hdc);
    if (m_selectedBkColor != 0) CUIRender::DrawColor(hdc, m_paint, GetAdjustColor(m_selectedBkColor));
}

void COptionUI::PaintStatusImage(HDC hdc) {
    if (!m_selected) return CButtonUI::PaintStatusImage(hdc);
    if (!m_selectedStateImage.IsEmpty() && m_selectedStateCount > 0 && m_selectedImage.IsEmpty()) {
        SplitStateStrip(m_selectedStateImage, m_selectedStateCount, m_selectedImage, m_selectedHotImage,
                        m_selectedPushedImage, nullptr);
    }
    RefreshPaintState();
    const CUIString* image = nullptr;
    if ((m_buttonState & UISTATE_PUSHED) != 0 && !m_selectedPushedImage.IsEmpty()) {
        image = &m_selectedPushedImage;
    } else if ((m_buttonState & UISTATE_HOT) != 0 && !m_selectedHotImage.IsEmpty()) {
        image = &m_selectedHotImage;
    }
    if (image != nullptr && DrawImage(hdc, *image)) return;
    if (!m_selectedImage.IsEmpty()) DrawImage(hdc, m_selectedImage);
}

void COptionUI::PaintForeImage(HDC hdc) {
    if (m_selected && !m_selectedForeImage.IsEmpty() && DrawImage(hdc, m_selectedForeImage)) return;
    CButtonUI::PaintForeImage(hdc);
}

// A selected option shows its selected colour and font alone: hot, pushed and focused
// looks do not apply to it.
void COptionUI::PaintText(HDC hdc) {
    if ((m_buttonState & UISTATE_SELECTED) == 0) return CButtonUI::PaintText(hdc);
    RefreshPaintState();
    DefaultTextColors();
    const DWORD enabledColor = m_selectedTextColor != 0 ? m_selectedTextColor : m_textColor;
    DrawButtonText(hdc, IsEnabled() ? enabledColor : m_disabledTextColor,
                   m_selectedFont != -1 ? m_selectedFont : m_font);
}

}  // namespace HiveUI
