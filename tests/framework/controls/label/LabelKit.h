// What the label and text tests share: the text drawing fixture, and controls bound to
// its manager.
#pragma once

#include "../../core/render/TextCanvas.h"

class LabelTest : public FontFixture {
protected:
    // Binds a control to the manager at the given place.
    template <class T>
    T& Place(T& control, RECT pos) {
        control.SetManager(&manager_, nullptr, false);
        control.SetPos(pos, false);
        return control;
    }
    SIZE TextSize(const wchar_t* text) { return SIZE{Width(text), TextHeight()}; }
};
