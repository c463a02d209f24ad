// CListTextExtElementUI: the text row of an extended list. A click on a cell asks the
// list to open its inline editor over that cell; a check box at the row's left, drawn
// for the checkable columns, reports "listitemchecked" when toggled.
#pragma once

#include "ListCheckBox.h"
#include "UIListTextElement.h"

namespace HiveUI {

class CListExUI;

class CListTextExtElementUI : public CListTextElementUI {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetOwner(CControlUI* owner) override;
    void DoEvent(TEventInfo& event) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    using CListTextElementUI::GetText;
    using CListTextElementUI::SetText;
    // Stores a column's text; only columns the owner list has are kept.
    void SetText(int column, const wchar_t* text);
    void SetCheck(bool check);
    bool GetCheck() const { return m_checkBox.GetCheck(); }

protected:
    void AdjustCell(int column, RECT& cell, UINT& format) const override;

private:
    // The column whose cell, less the text padding, holds the point; -1 for none.
    int ColumnAt(POINT pt) const;
    bool HasCheckableColumn() const;
    void OpenEditorAt(POINT pt);

    CListExUI* m_listEx = nullptr;
    CListCheckBox m_checkBox;
};

CControlUI* CreateListTextExtElementControl();

}  // namespace HiveUI
