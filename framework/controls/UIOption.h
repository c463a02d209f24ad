// COptionUI: a button that stays selected. Options sharing a group name within one
// window are mutually exclusive; a change of selection sends "selectchanged".
#pragma once

#include <windows.h>

#include "UIButton.h"
#include "UIString.h"

namespace HiveUI {

class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    bool Activate() override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void SetEnabled(bool enable = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintBkColor(HDC hdc) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintForeImage(HDC hdc) override;
    void PaintText(HDC hdc) override;
    virtual const wchar_t* GetSelectedStateImage() const;
    virtual void SetSelectedStateImage(const wchar_t* image);
    // With trigger, a change is announced by "selectchanged".
    virtual void Selected(bool selected, bool trigger = true);

    bool IsSelected() const { return m_selected; }
    const CUIString& GetGroup() const { return m_group; }
    void SetGroup(const wchar_t* group);
    void SetSelectedImage(const wchar_t* image);
    void SetSelectedHotImage(const wchar_t* image);
    void SetSelectedPushedImage(const wchar_t* image);
    void SetSelectedForeImage(const wchar_t* image);
    void SetSelectedStateCount(int count);
    DWORD GetSelectedBkColor() const { return m_selectedBkColor; }
    void SetSelectedBkColor(DWORD color) { m_selectedBkColor = color; }
    DWORD GetSelectedTextColor() const { return m_selectedTextColor; }
    void SetSelectedTextColor(DWORD color) { m_selectedTextColor = color; }
    int GetSelectedFont() const { return m_selectedFont; }
    void SetSelectedFont(int font);

protected:
    // Selected's work; a check box tells the new flag in the notification's wParam.
    void ApplySelection(bool selected, bool trigger, bool flagInNotify);

    bool m_selected;
    CUIString m_group;
    int m_selectedFont;
    DWORD m_selectedBkColor;
    DWORD m_selectedTextColor;
    CUIString m_selectedImage;
    CUIString m_selectedHotImage;
    CUIString m_selectedPushedImage;
    CUIString m_selectedForeImage;
    int m_selectedStateCount;
    CUIString m_selectedStateImage;

private:
    void JoinGroup();
    void LeaveGroup();
};

// The factory's creator of an option.
CControlUI* CreateOptionControl();

}  // namespace HiveUI
