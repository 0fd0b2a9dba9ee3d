// Colour adjustment of the render engine: hue, saturation and lightness in the hexcone model.
#include "pane/core/Render.h"

#include <algorithm>
#include <cmath>

namespace Pane {

namespace {

void RgbToHsl(uint32_t argb, double& hue, double& saturation, double& lightness) {
    const double r = ((argb >> 16) & 0xFF) / 255.0;
    const double g = ((argb >> 8) & 0xFF) / 255.0;
    const double b = (argb & 0xFF) / 255.0;
    const double maxC = std::max({r, g, b});
    const double minC = std::min({r, g, b});
    const double delta = maxC - minC;
    lightness = (maxC + minC) / 2.0;
    if (delta <= 0.0) {
        hue = 0.0;
        saturation = 0.0;
        return;
    }
    saturation = lightness <= 0.5 ? delta / (maxC + minC) : delta / (2.0 - maxC - minC);
    if (maxC == r) {
        hue = (g - b) / delta;
    } else if (maxC == g) {
        hue = 2.0 + (b - r) / delta;
    } else {
        hue = 4.0 + (r - g) / delta;
    }
    hue *= 60.0;
    if (hue < 0.0) {
        hue += 360.0;
    }
}

double HueToChannel(double m1, double m2, double h) {
    h -= std::floor(h); // wrap into 0..1
    if (h < 1.0 / 6.0) {
        return m1 + (m2 - m1) * h * 6.0;
    }
    if (h < 0.5) {
        return m2;
    }
    if (h < 2.0 / 3.0) {
        return m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6.0;
    }
    return m1;
}

uint32_t ToByte(double v) {
    return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

} // namespace

uint32_t CUIRender::AdjustColor(uint32_t color, short hue, short saturation, short lightness) {
    if (hue == 180 && saturation == 100 && lightness == 100) {
        return color;
    }
    double h = 0.0;
    double s = 0.0;
    double l = 0.0;
    RgbToHsl(color, h, s, l);
    h += hue - 180;
    if (h <= 0.0) {
        h += 360.0;
    }
    // Saturation and lightness may be raised up to twice; past 1 there is no colour to show,
    // and an out-of-range channel must not wrap around.
    s = std::clamp(s * saturation / 100.0, 0.0, 1.0);
    l = std::clamp(l * lightness / 100.0, 0.0, 1.0);
    double r = l;
    double g = l;
    double b = l;
    if (s > 0.0) {
        const double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
        const double m1 = 2.0 * l - m2;
        const double hn = h / 360.0;
        r = HueToChannel(m1, m2, hn + 1.0 / 3.0);
        g = HueToChannel(m1, m2, hn);
        b = HueToChannel(m1, m2, hn - 1.0 / 3.0);
    }
    return (color & 0xFF000000u) | (ToByte(r) << 16) | (ToByte(g) << 8) | ToByte(b);
}

} // namespace Pane
