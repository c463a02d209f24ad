// IQueryControlText: supplies control texts by id for windows that keep their own texts.
#pragma once

namespace HiveUI {

class IQueryControlText {
public:
    virtual ~IQueryControlText() = default;
    // The text for id (of the given type), or null when the window has none.
    virtual const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) = 0;
};

}  // namespace HiveUI
