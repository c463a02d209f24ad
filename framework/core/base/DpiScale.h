// CDpiScale: converts lengths from skin units (96 dpi, 100 %) to a window's current
// scale; every length a skin gives passes through its manager's scale.
#pragma once

#include <windows.h>

namespace HiveUI {

class CDpiScale {
public:
    CDpiScale();

    void SetScale(int dpi);
    int GetScale() const;
    int GetDPI() const;

    int Scale(int n) const;
    int ScaleBack(int n) const;
    RECT ScaleRectFromValues(int left, int top, int right, int bottom) const;
    void ScaleRect(RECT& rc) const;
    void ScaleBackRect(RECT& rc) const;
    void ScalePoint(POINT& pt) const;
    SIZE ScaleSize(int width, int height) const;

private:
    enum Awareness { kUnaware = 0, kSystemAware = 1, kPerMonitorAware = 2 };

    int EffectiveScale() const;

    int m_scale;
    int m_systemScale;
    int m_awareness;
};

}  // namespace HiveUI
