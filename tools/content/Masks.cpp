// The screen masks: grey pictures multiplied onto the finished frame, white where the picture is kept.
// They stretch over the whole screen, so shapes are laid out in screen units (the height is 2, the width
// 2 × screenAspect) with an aspect between 4:3 and 16:9, and read right in both.
#include "Paint.h"
#include "Pictures.h"

#include <algorithm>
#include <cmath>

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

// An L-shaped corner mark, 1.5 pixels thick, whose arms run 22 pixels from (cx, cy) towards (sx, sy),
// each ±1.
void bracket(Raster& marks, double cx, double cy, double sx, double sy) {
    auto span = [&](double x0, double y0, double x1, double y1) {
        fillRectangle(marks, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), 0.6f);
    };
    span(cx, cy, cx + 22.0 * sx, cy + 1.5 * sy);
    span(cx, cy + 1.5 * sy, cx + 1.5 * sx, cy + 22.0 * sy);
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

Raster frameMask() {
    // A hairline frame inset by 4.5 % of the height; what lies outside it is dimmed a little. The line is
    // about 1.6 screen pixels wide in both directions at 1024 × 768 and 1280 × 720.
    constexpr double insetY = 0.045 * maskSize;
    constexpr double insetX = insetY / screenAspect;
    constexpr double lineX = 1.5;
    constexpr double lineY = 2.2;
    Raster inside(maskSize, maskSize, 1);
    fillRectangle(inside, insetX, insetY, maskSize - insetX, maskSize - insetY);
    Raster line(maskSize, maskSize, 1);
    fillRectangle(line, insetX, insetY, maskSize - insetX, insetY + lineY);
    fillRectangle(line, insetX, maskSize - insetY - lineY, maskSize - insetX, maskSize - insetY);
    fillRectangle(line, insetX, insetY, insetX + lineX, maskSize - insetY);
    fillRectangle(line, maskSize - insetX - lineX, insetY, maskSize - insetX, maskSize - insetY);
    Raster rgb(maskSize, maskSize, 3);
    for (int py = 0; py < maskSize; ++py) {
        for (int px = 0; px < maskSize; ++px) {
            double x = 0.0;
            double y = 0.0;
            screenPosition(px, py, maskSize, x, y);
            const double margin = 0.80 + 0.20 * inside.at(px, py);
            const double value = margin * vignette(x, y, 0.5, 1.2, 0.12) * (1.0 - 0.88 * line.at(px, py));
            setCool(rgb, px, py, value);
        }
    }
    return rgb;
}

Raster scrollingMask() {
    // Eight frames of 512 × 256 pixels; the screen shows 409.6 × 256 of the strip at a time, so its pixels
    // are about square on screen. The strip wraps both ways: the scroll never stops and the gate between
    // the top and bottom rows drifts up and down into view.
    constexpr int width = 4096;
    constexpr int height = 256;
    constexpr int frame = 512;
    Raster rgb(width, height, 3);

    Raster marks(width, height, 1); // thin dark rules and brackets, drawn per frame
    for (int f = 0; f < width / frame; ++f) {
        const double left = f * frame;
        switch (f) {
        case 1: // a split frame: a double rule at a third
            fillRectangle(marks, left + frame / 3.0 - 4.0, 34.0, left + frame / 3.0 - 2.5, height - 34.0,
                          0.5f);
            fillRectangle(marks, left + frame / 3.0 + 2.5, 34.0, left + frame / 3.0 + 4.0, height - 34.0,
                          0.5f);
            break;
        case 4:
        case 7: { // viewfinder brackets in the four corners
            const double x0 = left + 70.0;
            const double x1 = left + frame - 70.0;
            const double y0 = 44.0;
            const double y1 = height - 44.0;
            for (const double cx : {x0, x1})
                for (const double cy : {y0, y1})
                    bracket(marks, cx, cy, cx == x0 ? 1.0 : -1.0, cy == y0 ? 1.0 : -1.0);
            break;
        }
        case 6: // thirds across the height
            fillRectangle(marks, left + 60.0, height / 3.0 - 0.75, left + frame - 60.0, height / 3.0 + 0.75,
                          0.35f);
            fillRectangle(marks, left + 60.0, 2.0 * height / 3.0 - 0.75, left + frame - 60.0,
                          2.0 * height / 3.0 + 0.75, 0.35f);
            break;
        default:
            break;
        }
    }

    for (int y = 0; y < height; ++y) {
        // The gate: a dark band across the top and bottom rows, which meet when the strip wraps.
        const double fromGate = std::min(y + 0.5, height - y - 0.5);
        const double gate = smoothstep(3.0, 13.0, fromGate);
        for (int x = 0; x < width; ++x) {
            const int f = x / frame;
            const double local = x + 0.5 - f * frame; // 0 … 512 inside the frame
            // The gap between frames: a dark line with soft shoulders.
            const double fromGap = std::min(local, frame - local);
            const double gap = 0.08 + 0.92 * smoothstep(1.0, f == 5 ? 36.0 : 12.0, fromGap);
            // Each frame's vignette, in pixels about square on screen.
            const double fx = (local - frame * 0.5) / (height * 0.5);
            const double fy = (y + 0.5 - height * 0.5) / (height * 0.5);
            double shade = 1.0;
            if (f == 2 || f == 7) {
                // An iris: a round opening with a broad soft edge.
                const double r = std::hypot(fx / (f == 7 ? 1.35 : 1.0), fy);
                shade = 1.0 - 0.4 * smoothstep(0.75, 1.9, r);
            } else {
                const double d = roundedRectangleDistance(fx, fy, 1.6, 0.82, 0.35);
                shade = 1.0 - 0.45 * std::pow(smoothstep(0.0, 0.55, d), 1.3);
            }
            const double value = gate * gap * shade * (1.0 - marks.at(x, y));
            setCool(rgb, x, y, value);
        }
    }
    return rgb;
}

} // namespace halcyra::tools
