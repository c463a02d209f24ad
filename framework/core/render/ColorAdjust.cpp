// CUIRender's colour arithmetic: mixing, the black guard, and the hue/saturation/
// lightness conversion and adjustment of colours and images.
#include "UIRender.h"

#include <cstring>

namespace HiveUI {

namespace {

int Channel(DWORD color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

double HueToChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (6 * t < 1) return p + (q - p) * 6 * t;
    if (2 * t < 1) return q;
    if (3 * t < 2) return p + (q - p) * 6 * (2.0 / 3.0 - t);
    return p;
}

// Channels are truncated, but one that is whole in exact arithmetic may come out a hair
// below (6 * (2/3 - 1/2) is 0.9999999999999998 in doubles), which would turn pure red
// shifted half round into 0xFF00FEFF instead of cyan; the tolerance keeps it whole. In
// single precision the hair is wider than any tolerance that spares real fractions.
DWORD ToByte(double value) {
    const double scaled = value * 255 + 1e-9;
    if (scaled <= 0) return 0;
    if (scaled >= 255) return 255;
    return static_cast<DWORD>(scaled);
}

bool IsIdentity(short hue, short saturation, short lightness) {
    return hue == 180 && saturation == 100 && lightness == 100;
}

}  // namespace

DWORD CUIRender::MixColor(DWORD first, double firstWeight, DWORD second, double secondWeight) {
    DWORD result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int value = static_cast<int>(firstWeight * Channel(first, shift) + secondWeight * Channel(second, shift));
        result |= static_cast<DWORD>(value & 0xFF) << shift;
    }
    return result;
}

void CUIRender::AvoidBlackColor(DWORD& color) {
    if ((color & 0x00FFFFFF) == 0) color += 1;
}

void CUIRender::RgbToHsl(DWORD color, double* hue, double* saturation, double* lightness) {
    const double red = Channel(color, 16) / 255.0;
    const double green = Channel(color, 8) / 255.0;
    const double blue = Channel(color, 0) / 255.0;
    const double maximum = red > green ? (red > blue ? red : blue) : (green > blue ? green : blue);
    const double minimum = red < green ? (red < blue ? red : blue) : (green < blue ? green : blue);
    double h = 0, s = 0;
    const double l = (maximum + minimum) / 2;
    if (maximum != minimum) {
        const double d = maximum - minimum;
        if (red == minimum) h = 3 - (green - blue) / d;
        else if (green == minimum) h = 5 - (blue - red) / d;
        else h = 1 - (red - green) / d;
        if (h >= 6) h -= 6;
        h *= 60;
        s = (2 * l <= 1) ? d / (maximum + minimum) : d / (2 - maximum - minimum);
    }
    *hue = h;
    *saturation = s;
    *lightness = l;
}

void CUIRender::HslToRgb(DWORD* color, double hue, double saturation, double lightness) {
    const double q =
        (2 * lightness < 1) ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    const double p = 2 * lightness - q;
    const double h = hue / 360;
    const DWORD red = ToByte(HueToChannel(p, q, h + 1.0 / 3.0));
    const DWORD green = ToByte(HueToChannel(p, q, h));
    const DWORD blue = ToByte(HueToChannel(p, q, h - 1.0 / 3.0));
    *color = (*color & 0xFF000000) | (red << 16) | (green << 8) | blue;
}

DWORD CUIRender::AdjustColor(DWORD color, short hue, short saturation, short lightness) {
    if (IsIdentity(hue, saturation, lightness)) return color;
    double h, s, l;
    RgbToHsl(color, &h, &s, &l);
    h += hue - 180;
    if (h <= 0) h += 360;
    s = s * saturation / 100;
    l = l * lightness / 100;
    HslToRgb(&color, h, s, l);
    return color;
}

// The adjusted pixels go to the pixel copy and to the bitmap itself, so that the
// next paint shows them.
void CUIRender::AdjustImage(bool on, TImageData* image, short hue, short saturation, short lightness) {
    if (image == nullptr || !image->useHSL || image->bitmap == nullptr || image->pixels == nullptr ||
        image->savedPixels == nullptr)
        return;
    const size_t bytes = static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 4;
    if (!on || IsIdentity(hue, saturation, lightness)) {
        memcpy(image->pixels, image->savedPixels, bytes);
    } else {
        for (size_t i = 0; i < bytes; i += 4) {
            DWORD pixel;
            memcpy(&pixel, image->savedPixels + i, 4);
            pixel = AdjustColor(pixel, hue, saturation, lightness);
            memcpy(image->pixels + i, &pixel, 4);
        }
    }
    DIBSECTION section = {};
    if (GetObjectW(image->bitmap, sizeof(section), &section) == sizeof(section) && section.dsBm.bmBits != nullptr) {
        GdiFlush();
        memcpy(section.dsBm.bmBits, image->pixels, bytes);
    }
}

}  // namespace HiveUI
