// What the list tests share: a window (from the control tests) holding one list built
// from layout text, rows of 20 pixels, and the Ctrl key held down for a while.
#pragma once

#include <UIList.h>

#include <string>
#include <vector>

#include "../../controls/ControlWindow.h"

// Label rows r0..r{count-1}, 20 pixels high.
inline std::wstring LabelRows(int count, const wchar_t* extra = L"") {
    std::wstring rows;
    for (int i = 0; i < count; ++i)
        rows += L"<ListLabelElement name=\"r" + std::to_wstring(i) + L"\" text=\"row " + std::to_wstring(i) +
                L"\" height=\"20\" " + extra + L"/>";
    return rows;
}

// Holds Ctrl down, as GetKeyState sees it, while alive.
class CtrlHeld {
public:
    CtrlHeld() { SetCtrl(0x80); }
    ~CtrlHeld() { SetCtrl(0); }
    CtrlHeld(const CtrlHeld&) = delete;
    CtrlHeld& operator=(const CtrlHeld&) = delete;

private:
    static void SetCtrl(BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = state;
        keys[VK_LCONTROL] = state;
        SetKeyboardState(keys);
    }
};

class ListWindow : public ControlWindow {
protected:
    // A list over the whole client area with the given attributes and content.
    HiveUI::CListUI* BuildList(const std::wstring& attributes, const std::wstring& content) {
        Build(L"<List name=\"list\" float=\"true\" pos=\"0,0,320,200\" " + attributes + L">" + content + L"</List>");
        return Find<HiveUI::CListUI>(L"list");
    }
    // Every selected index in selection order, walked through GetNextSelItem.
    static std::vector<int> Selected(HiveUI::CListUI* list) {
        std::vector<int> walked;
        for (int i = list->GetNextSelItem(-1); i >= 0 && walked.size() <= 64; i = list->GetNextSelItem(i))
            walked.push_back(i);
        return walked;
    }
    static bool RowSelected(HiveUI::CListUI* list, int index) {
        auto* row = static_cast<HiveUI::IListItemUI*>(list->GetItemAt(index)->GetInterface(L"ListItem"));
        return row->IsSelected();
    }
    // The notes of one type only.
    std::vector<Note> NotesOf(const wchar_t* type) const {
        std::vector<Note> found;
        for (const Note& note : notes)
            if (note.type == type) found.push_back(note);
        return found;
    }
};
