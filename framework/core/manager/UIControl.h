// CControlUI: the base of every control in a window's control tree. It keeps what all
// controls share (position and size rules, colours, images, border, texts, switches),
// reads them from skin attributes, takes events from its manager and paints itself in
// a fixed order of steps that subclasses override one by one.
#pragma once

#include <windows.h>

#include "Delegate.h"
#include "UIEvent.h"
#include "UIString.h"
#include "UIStringMap.h"

namespace HiveUI {

class CPaintManagerUI;

// Tree search callback: answers the control that ends the walk, or null to go on.
typedef CControlUI*(CALLBACK* FindControlProc)(CControlUI* control, LPVOID data);

// Tree search flags.
enum FindFlag : UINT {
    UIFIND_ALL = 0x00000000,
    UIFIND_VISIBLE = 0x00000001,
    UIFIND_ENABLED = 0x00000002,
    UIFIND_HITTEST = 0x00000004,
    UIFIND_UPDATETEST = 0x00000008,
    UIFIND_TOP_FIRST = 0x00000010,
    UIFIND_ME_FIRST = 0x80000000,
};

// Control flags.
enum ControlFlag : UINT {
    UIFLAG_TABSTOP = 0x00000001,
    UIFLAG_SETCURSOR = 0x00000002,
};

// Float alignment flags; left and top have none.
enum FloatAlign : UINT {
    UIFLOAT_CENTER = 0x1,
    UIFLOAT_RIGHT = 0x2,
    UIFLOAT_VCENTER = 0x4,
    UIFLOAT_BOTTOM = 0x8,
};

struct TFloatPercent {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual CUIString GetName() const;
    virtual void SetName(const wchar_t* name);
    virtual const wchar_t* GetClass() const;
    virtual LPVOID GetInterface(const wchar_t* name);
    virtual UINT GetControlFlags() const;
    virtual bool Activate();
    virtual CPaintManagerUI* GetManager() const;
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;
    virtual CUIString GetText() const;
    virtual void SetText(const wchar_t* text);
    virtual bool IsResourceText() const;
    virtual void SetResourceText(bool resource);
    virtual bool IsDragEnabled() const;
    virtual void SetDragEnabled(bool enable);
    virtual bool IsDropEnabled() const;
    virtual void SetDropEnabled(bool enable);
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rect, bool needInvalidate = true);
    virtual void Move(SIZE offset, bool needInvalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT padding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE xy);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int width);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int height);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int width);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int width);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int height);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int height);
    virtual TFloatPercent GetFloatPercent() const;
    virtual void SetFloatPercent(TFloatPercent percent);
    virtual void SetFloatAlign(UINT align);
    virtual UINT GetFloatAlign() const;
    virtual CUIString GetToolTip() const;
    virtual void SetToolTip(const wchar_t* text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual WORD GetCursor() const;
    virtual void SetCursor(WORD cursor);
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool used);
    virtual const CUIString& GetUserData() const;
    virtual void SetUserData(const wchar_t* text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR tag);
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual void SetVisibleByParent(bool visible);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);
    virtual CControlUI* FindControl(FindControlProc proc, LPVOID data, UINT flags);
    virtual void Init();
    virtual void DoInit();
    virtual void Event(TEventInfo& event);
    virtual void DoEvent(TEventInfo& event);
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
    virtual SIZE EstimateSize(SIZE available);
    virtual bool Paint(HDC hdc, const RECT& paint, CControlUI* stopControl);
    virtual bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl);
    virtual void PaintBkColor(HDC hdc);
    virtual void PaintBkImage(HDC hdc);
    virtual void PaintStatusImage(HDC hdc);
    virtual void PaintForeColor(HDC hdc);
    virtual void PaintForeImage(HDC hdc);
    virtual void PaintText(HDC hdc);
    virtual void PaintBorder(HDC hdc);
    virtual void DoPostPaint(HDC hdc, const RECT& paint);

    // Looks.
    const CUIString& GetGradient() const { return m_gradient; }
    void SetGradient(const wchar_t* gradient);
    DWORD GetBkColor() const { return m_bkColor; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_bkColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_bkColor3; }
    void SetBkColor3(DWORD color);
    DWORD GetForeColor() const { return m_foreColor; }
    void SetForeColor(DWORD color);
    const wchar_t* GetBkImage() const { return m_bkImage; }
    void SetBkImage(const wchar_t* image);
    const wchar_t* GetForeImage() const { return m_foreImage; }
    void SetForeImage(const wchar_t* image);
    DWORD GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const { return m_colorHSL; }
    void SetColorHSL(bool colorHSL);
    int GetBorderSize() const;
    void SetBorderSize(int size);
    RECT GetBorderRect() const;
    void SetBorderRect(int left, int top, int right, int bottom);
    void SetLeftBorderSize(int size);
    void SetTopBorderSize(int size);
    void SetRightBorderSize(int size);
    void SetBottomBorderSize(int size);
    int GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    SIZE GetBorderRound() const;
    void SetBorderRound(SIZE round);
    DWORD GetAdjustColor(DWORD color) const;
    bool DrawImage(HDC hdc, const wchar_t* image, const wchar_t* modifier = nullptr);

    // Layout and repainting.
    void Invalidate();
    // Repaints only the part of the control that its ancestors leave visible.
    void InvalidateClipped();
    bool IsLayoutNeeded() const { return m_updateNeeded; }
    void NeedLayout();
    void NeedParentLayout();

    void SetVirtualWnd(const wchar_t* name);
    CUIString GetVirtualWnd() const;

    void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
    void RemoveAllCustomAttributes();
    void ApplyAttributeList(const wchar_t* list);

    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;

protected:
    // A container that scrolls many children moves only those it shows: the others lag
    // behind its scrolling and catch up (by a SetPos of their own) when their place is
    // next read. Such a container sets m_childrenLag and adds each scroll move to
    // m_childShift; a control remembers the shift of its parent that its place was last
    // set at.
    void CatchUpWithParent() const;

    int Scale(int n) const;
    RECT ScaleRect(const RECT& rc) const;
    // A style named by a value applies instead of the value; styles that name
    // themselves (directly or through others) stop at this depth.
    bool ApplyStyleOf(const wchar_t* value);
    void ApplyAttributePairs(const wchar_t* list);
    void SetOtherAttribute(const wchar_t* name, const wchar_t* value);
    void SetTextAttribute(const wchar_t* name, const wchar_t* value);
    void PaintBorderSides(HDC hdc, const RECT& sides, DWORD color);

    CPaintManagerUI* m_manager;
    CControlUI* m_parent;
    CUIString m_virtualWnd;
    CUIString m_name;
    bool m_updateNeeded;
    bool m_menuUsed;
    RECT m_item;
    RECT m_padding;
    SIZE m_fixedXY;
    SIZE m_fixedSize;
    SIZE m_minSize;
    SIZE m_maxSize;
    bool m_visible;
    bool m_visibleByParent;
    bool m_enabled;
    bool m_mouseEnabled;
    bool m_keyboardEnabled;
    bool m_focused;
    bool m_float;
    // Beside the place and the switches that scrolling and painting read of every child.
    POINT m_placedShift = {0, 0};
    const POINT* m_parentShift = nullptr;  // the parent's m_childShift when its children lag
    POINT m_childShift = {0, 0};
    bool m_childrenLag = false;
    TFloatPercent m_floatPercent;
    UINT m_floatAlign;
    bool m_inSetPos;
    bool m_dragEnabled;
    bool m_dropEnabled;
    bool m_resourceText;
    CUIString m_text;
    CUIString m_toolTip;
    wchar_t m_shortcut;
    CUIString m_userData;
    UINT_PTR m_tag;
    CUIString m_gradient;
    DWORD m_bkColor;
    DWORD m_bkColor2;
    DWORD m_bkColor3;
    DWORD m_foreColor;
    CUIString m_bkImage;
    CUIString m_foreImage;
    DWORD m_borderColor;
    DWORD m_focusBorderColor;
    bool m_colorHSL;
    int m_borderSize;
    int m_borderStyle;
    int m_toolTipWidth;
    WORD m_cursor;
    SIZE m_borderRound;
    RECT m_paint;
    RECT m_borderSides;
    CUIStringMap m_customAttributes;

private:
    int m_styleDepth;
};

// The factory's creator of a plain control.
CControlUI* CreateControlControl();

}  // namespace HiveUI
