// The screen masks: grey pictures multiplied onto the finished frame, white where the picture is kept.
// They stretch over the whole screen, so shapes are laid out in screen units (the height is 2, the width
// 2 × screenAspect) with an aspect between 4:3 and 16:9, and read right in both.
#include "Paint.h"
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace halcyra::tools {
namespace {

constexpr int maskSize = 1024;
// The geometric mean of 4:3 and 16:9: shapes drawn for it are off by at most 15 % in either mode.
constexpr double screenAspect = 1.54;

// Distance from (x, y) to a rounded rectangle of half extents (hx, hy) and corner radius r; 0 inside.
double roundedRectangleDistance(double x, double y, double hx, double hy, double r) {
    const double qx = std::max(std::abs(x) - (hx - r), 0.0);
    const double qy = std::max(std::abs(y) - (hy - r), 0.0);
    return std::max(std::hypot(qx, qy) - r, 0.0);
}

// Screen units of a pixel's centre in a mask of size × size: x in −screenAspect … screenAspect, y in
// −1 … 1 (down).
void screenPosition(int px, int py, int size, double& x, double& y) {
    x = ((px + 0.5) / size * 2.0 - 1.0) * screenAspect;
    y = (py + 0.5) / size * 2.0 - 1.0;
}

// A soft rounded-rectangle vignette in screen units: 1 in the middle, 1 − depth in the far corners.
double vignette(double x, double y, double inset, double reach, double depth) {
    const double d = roundedRectangleDistance(x, y, screenAspect - inset, 1.0 - inset, 0.5);
    const double t = std::clamp(d / reach, 0.0, 1.0);
    return 1.0 - depth * std::pow(t, 1.6);
}

// Grey with a faint cool cast where the mask darkens, so the shadows lean towards blue-black.
void setCool(Raster& rgb, int x, int y, double value) {
    const double shade = 1.0 - value;
    rgb.at(x, y, 0) = static_cast<float>(value * (1.0 - 0.10 * shade));
    rgb.at(x, y, 1) = static_cast<float>(value * (1.0 - 0.04 * shade));
    rgb.at(x, y, 2) = static_cast<float>(value);
}

} // namespace

Raster vignetteMask() {
    // Nothing in it is sharp, so half the size of the other masks does.
    constexpr int size = maskSize / 2;
    Raster rgb(size, size, 3);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double x = 0.0;
            double y = 0.0;
            screenPosition(px, py, size, x, y);
            setCool(rgb, px, py, vignette(x, y, 0.45, 1.0, 0.5));
        }
    }
    return rgb;
}

Raster letterboxMask() {
    // Bars of 11.5 % of the height each: 1.75:1 left open at 4:3, 2.35:1 at 16:9.
    constexpr double bar = 0.115 * maskSize;
    Raster open(maskSize, maskSize, 1);
    fillRectangle(open, 0.0, bar, maskSize, maskSize - bar);
    Raster rgb(maskSize, maskSize, 3);
    for (int py = 0; py < maskSize; ++py) {
        for (int px = 0; px < maskSize; ++px) {
            double x = 0.0;
            double y = 0.0;
            screenPosition(px, py, maskSize, x, y);
            // A short shade under each bar gives the opening an edge to sit in; the sides fall off gently.
            const double fromBar = (std::min(py + 0.5, maskSize - py - 0.5) - bar) / maskSize;
            const double shade = 1.0 - 0.22 * smoothstep(0.05, 0.0, fromBar);
            const double sides = 1.0 - 0.1 * std::pow(smoothstep(0.6, 1.0, std::abs(x) / screenAspect), 1.5);
            setCool(rgb, px, py, open.at(px, py) * shade * sides);
        }
    }
    return rgb;
}

Raster faintVignetteMask() {
    // The planet and the white end screen: nothing but a wide, faint darkening of the corners, smooth
    // everywhere, so that no line or step of the mask ever shows against the stars or the white.
    constexpr int size = maskSize / 2;
    Raster rgb(size, size, 3);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double x = 0.0;
            double y = 0.0;
            screenPosition(px, py, size, x, y);
            setCool(rgb, px, py, vignette(x, y, 0.5, 1.2, 0.12));
        }
    }
    return rgb;
}

Raster scrollingMask() {
    // The strip scrolls sideways by more than half a screen a second and bobs up and down by a tenth of
    // the height, so anything drawn along it would race across the picture. It holds only a soft shade
    // towards its top and bottom rows, where it wraps: one cosine over the height, the same in every
    // column, so the shade leans a little to the top or the bottom of the picture as the strip bobs.
    constexpr int width = 16;
    constexpr int height = 256;
    Raster rgb(width, height, 3);
    for (int y = 0; y < height; ++y) {
        const double v = (y + 0.5) / height;
        const double towardsWrap = 0.5 + 0.5 * std::cos(2.0 * std::numbers::pi * v);
        const double value = 1.0 - 0.3 * towardsWrap * towardsWrap;
        for (int x = 0; x < width; ++x)
            setCool(rgb, x, y, value);
    }
    return rgb;
}

} // namespace halcyra::tools
