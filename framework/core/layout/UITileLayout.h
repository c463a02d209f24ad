// CTileLayoutUI: arranges its children in a grid of equal columns, each row as tall as
// its tallest child, every child centred in its cell.
#pragma once

#include "UIContainer.h"

namespace HiveUI {

class CTileLayoutUI : public CContainerUI {
public:
    CTileLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    SIZE GetItemSize() const { return m_itemSize; }
    void SetItemSize(SIZE size);
    int GetColumns() const { return m_columns; }
    void SetColumns(int columns);

private:
    int RowHeight(int first, int columns, int cellWidth) const;

    SIZE m_itemSize = {0, 0};
    int m_columns = 1;
};

CControlUI* CreateTileLayoutControl();

}  // namespace HiveUI
