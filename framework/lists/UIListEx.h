// CListExUI: a list whose columns can be edited in place. A click on a cell of an editable
// column lays a one-line rich edit ("ListEx_Edit") over it, a choosable column a combo box
// ("ListEx_Combo"); the list writes the edited text or the choice back into the cell.
// Column heads and rows may carry check boxes, kept in step with each other. The list
// hears its parts' notifications once its window has made it a notifier.
#pragma once

#include "MessageFilterUI.h"
#include "NotifyUI.h"
#include "UIList.h"

namespace HiveUI {

class CListContainerHeaderItemUI;

class CListExUI : public CListUI, public INotifyUI, public IMessageFilterUI {
public:
    ~CListExUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoInit() override;
    void DoEvent(TEventInfo& event) override;

    bool IsColumnEditable(int column) override;
    CRichEditUI* GetInlineEdit() override;
    bool IsColumnChoosable(int column) override;
    CComboBoxUI* GetInlineCombo() override;
    virtual bool IsColumnCheckable(int column);
    virtual IListComboFillerUI* GetComboFiller();
    virtual void SetComboFiller(IListComboFillerUI* filler);

    // Opens the column's editor over the cell (relative to the list) with the text; a
    // column without an editor, or -1, closes the editors.
    void ShowInlineEditor(int row, int column, RECT cell, const wchar_t* text);
    // Closes the editors without writing anything back.
    void HideInlineEditors();

    // The rows' indexes move under an open editor, which keeps to its own row.
    bool AddAt(CControlUI* control, int index) override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    void Notify(TNotifyInfo& msg) override;
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    CListContainerHeaderItemUI* HeadAt(int column) const;
    // Floats an editor over the cell, where later layouts keep it.
    void PlaceEditor(CControlUI* editor, const RECT& cell);
    static void CollapseEditor(CControlUI* editor);
    void WriteBack(const CUIString& text);
    void CheckAllRows(bool check);
    bool AllRowsChecked() const;

    CRichEditUI* m_edit = nullptr;
    CComboBoxUI* m_combo = nullptr;
    int m_editRow = -1;
    int m_editColumn = -1;
    IListComboFillerUI* m_comboFiller = nullptr;
    // Set while the filler fills the combo: choices it makes there are not the user's.
    bool m_filling = false;
};

CControlUI* CreateListExControl();

}  // namespace HiveUI
