// CContainerUI: a control that owns an ordered list of children, scrolls them with up
// to two scroll bars and paints them clipped to itself. Used alone it stacks every
// child over its whole content area; layouts derive from it and override SetPos.
#pragma once

#include <windows.h>

#include <vector>

#include "UIControl.h"
#include "UIPtrArray.h"
#include "UIString.h"

namespace HiveUI {

class CRenderClip;
class CScrollBarUI;
struct TLayoutAxis;

// The child-list operations every container answers under the interface name "IContainer".
class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int index) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

// Child alignment values the layouts read.
enum ChildAlign : UINT {
    UICHILD_LEFT = 0,
    UICHILD_CENTER = 1,
    UICHILD_RIGHT = 2,
    UICHILD_TOP = 0,
    UICHILD_VCENTER = 4,
    UICHILD_BOTTOM = 8,
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    // IContainerUI
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    RECT GetClientPos() const override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetVisibleByParent(bool visible) override;
    void SetEnabled(bool enable = true) override;
    void SetMouseEnabled(bool enable = true) override;
    CControlUI* FindControl(FindControlProc proc, LPVOID data, UINT flags) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    virtual RECT GetInset() const;
    virtual void SetInset(RECT inset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual UINT GetChildAlign() const;
    virtual void SetChildAlign(UINT align);
    virtual UINT GetChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enable = true);
    virtual int FindSelectable(int index, bool forward = true) const;
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE pos, bool notify = true);
    virtual void SetScrollStepSize(int size);
    virtual int GetScrollStepSize() const;
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;
    virtual void SetFloatPos(int index);
    // Layouts call this last in SetPos with the rect the children were laid out in and
    // the total size they need.
    virtual void ProcessScrollBar(RECT rect, int requiredWidth, int requiredHeight);

protected:
    // The container's own child: containers whose item operations stand for another
    // container's (a list's rows live in its body) still walk their own children.
    CControlUI* ChildAt(int index) const {
        return index >= 0 && index < m_items.GetSize() ? static_cast<CControlUI*>(m_items[index]) : nullptr;
    }
    // The item rect less the given inset and the visible bars, moved by their scroll.
    RECT ScrolledContentRect(const RECT& inset) const;
    // The item rect less the given inset and the visible bars' thickness.
    RECT VisibleContentRect(const RECT& inset) const;
    // Floating children by their float rules, the others at the area's top-left corner
    // with its size kept within their own limits.
    void PlaceChildren(const RECT& area);
    CScrollBarUI* BarAlong(const TLayoutAxis& axis) const;
    int LineStep() const;
    int ColumnStep() const;
    void ScrollAlong(const TLayoutAxis& axis, int delta);
    void ScrollAlongTo(const TLayoutAxis& axis, int value);
    int PageAlong(const TLayoutAxis& axis) const;
    void ScrollToEnd(const TLayoutAxis& axis);
    bool FitScrollBar(const TLayoutAxis& axis, const RECT& rect, int required);
    void DestroyChild(CControlUI* control);
    bool InsertChild(CControlUI* control, int index);
    bool DoScrollKey(TEventInfo& event, CScrollBarUI* bar, bool vertical);
    bool PaintChildren(HDC hdc, const RECT& paint, CControlUI* stopControl, CRenderClip& outer);
    // The children that can meet the rectangle, as the indices [first, last): every one
    // here; a container that knows where its children stand spares the walk over the rest.
    virtual void ChildrenMeeting(const RECT& rect, int& first, int& last) const;
    // The control base's paint of this container, less what opaque children paint over.
    void PaintOwnUncovered(HDC hdc, const RECT& area, const RECT& paint, CControlUI* stopControl);
    // The parts of within that children (and their children, depth levels down) fill
    // with an opaque background.
    void CollectOpaqueCover(const RECT& within, std::vector<RECT>& cover, int depth) const;
    void ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* style);
    static CScrollBarUI* ShownBar(CScrollBarUI* bar);

    CUIPtrArray m_items;
    RECT m_inset;
    int m_childPadding;
    UINT m_childAlign;
    UINT m_childVAlign;
    bool m_autoDestroy;
    bool m_delayedDestroy;
    bool m_mouseChildEnabled;
    int m_scrollStepSize;
    CScrollBarUI* m_verticalScrollBar;
    CScrollBarUI* m_horizontalScrollBar;
    CUIString m_verticalScrollBarStyle;
    CUIString m_horizontalScrollBarStyle;
};

// The factory's creator of a plain container.
CControlUI* CreateContainerControl();

}  // namespace HiveUI
