// What the controls share to read their skin attributes and to store their looks.
#pragma once

#include <cwchar>

#include "SkinValue.h"
#include "UIControl.h"

namespace HiveUI {

// Attribute names compare without regard to case.
inline bool IsKey(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

// A decimal attribute value.
inline int ReadSkinNumber(const wchar_t* value) {
    const wchar_t* cursor = value;
    return ReadSkinInt(cursor);
}

// Stores what only changes how the control looks, and repaints it.
template <class Field, class Value>
void SetLook(CControlUI& control, Field& field, const Value& value) {
    field = value;
    control.Invalidate();
}

}  // namespace HiveUI
