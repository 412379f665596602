// The pictures with the production's and the group's names: title card, end logo, loading-screen logo,
// the setup dialog's banner and the desktop icon. One wordmark style runs through them: "halcyra" in a light,
// widely tracked sans with an even rhythm, ice white with a teal glow; "mosslight" small and spaced beneath.
#include "Noise.h"
#include "Paint.h"
#include "Pictures.h"
#include "Typeface.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace halcyra::tools {
namespace {

const Colour night{0.004f, 0.007f, 0.016f};
const Colour glowTeal{0.2f, 0.88f, 0.98f};
const Colour ice{0.93f, 0.97f, 1.0f};
const Colour steelText{0.48f, 0.62f, 0.68f};

// Every wordmark is set in DejaVu Sans: its open, geometric lowercase stays clear when thinned and spaced.
const char* const family = "DejaVu Sans";

// The title wordmark at an em size, `squeeze` wide.
TextStyle wordmarkStyleAt(double size, double squeeze) {
    TextStyle style;
    style.size = size;
    style.tracking = 0.16;
    style.squeeze = squeeze;
    style.weight = -0.03 * size; // lighter than the book weight
    style.opticalSpacing = 0.7;
    return style;
}

TextStyle smallStyleAt(double size, double squeeze) {
    TextStyle style;
    style.size = size;
    style.tracking = 0.55;
    style.squeeze = squeeze;
    style.opticalSpacing = 0.5;
    return style;
}

// Ink fades from white at the top of the letters to a cool tint at the baseline.
void paintWordmark(Raster& rgb, const Raster& coverage, double top, double baseline, double glowX,
                   double glowY) {
    addGlow(rgb, coverage, glowTeal, glowX * 4.0, glowY * 4.0, 0.3);
    addGlow(rgb, coverage, glowTeal, glowX, glowY, 0.45);
    for (int y = 0; y < rgb.height(); ++y) {
        const double t = std::clamp((y - top) / std::max(1.0, baseline - top), 0.0, 1.0);
        const Colour ink = mix(ice, Colour{0.70f, 0.90f, 0.96f}, t * 0.5);
        const float channels[3] = {ink.r, ink.g, ink.b};
        for (int x = 0; x < rgb.width(); ++x) {
            const float a = coverage.at(x, y);
            for (int c = 0; c < 3; ++c)
                rgb.at(x, y, c) += (channels[c] - rgb.at(x, y, c)) * a;
        }
    }
}

// A horizontal hairline that fades out towards both ends.
void hairline(Raster& rgb, double x0, double x1, double y, double thickness, Colour colour, double opacity) {
    Raster line(rgb.width(), rgb.height(), 1);
    fillRectangle(line, x0, y - thickness * 0.5, x1, y + thickness * 0.5);
    for (int py = 0; py < line.height(); ++py) {
        for (int px = 0; px < line.width(); ++px) {
            const double t = (px + 0.5 - x0) / (x1 - x0);
            line.at(px, py) *= static_cast<float>(smoothstep(0.0, 0.3, t) * smoothstep(1.0, 0.7, t));
        }
    }
    composite(rgb, line, colour, opacity);
}

// A dark background that is `night` at the top and bottom rows and lifts to a faint teal haze behind the
// centre (cx, cy) with radii (rx, ry).
void hazeBackground(Raster& rgb, double cx, double cy, double rx, double ry, double strength) {
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            const double haze = std::exp(-(dx * dx + dy * dy)) * strength;
            const Colour c = mix(night, Colour{0.0f, 0.10f, 0.15f}, haze);
            rgb.at(x, y, 0) = c.r;
            rgb.at(x, y, 1) = c.g;
            rgb.at(x, y, 2) = c.b;
        }
    }
}

// A tilted ring of fine white points around (cx, cy), brighter on its near side, as the show's point
// clouds look from afar.
void pointRing(Raster& rgb, double cx, double cy, double rx, double ry, double tilt, int count,
               double brightness, uint64_t seed) {
    Raster points(rgb.width(), rgb.height(), 1);
    Random random(seed);
    for (int i = 0; i < count; ++i) {
        const double a = random.range(0.0, 2.0 * std::numbers::pi);
        const double spread = 1.0 + 0.05 * (random.uniform() + random.uniform() - 1.0);
        const double px = std::cos(a) * rx * spread;
        const double py = std::sin(a) * ry * spread + 3.0 * (random.uniform() - 0.5);
        const double x = cx + px * std::cos(tilt) - py * std::sin(tilt);
        const double y = cy + px * std::sin(tilt) + py * std::cos(tilt);
        const double near = 0.35 + 0.65 * (0.5 + 0.5 * std::sin(a));
        const double radius = 0.45 + 0.5 * random.uniform() * near;
        const double intensity = near * random.range(0.5, 1.0);
        for (int qy = static_cast<int>(y) - 3; qy <= static_cast<int>(y) + 3; ++qy) {
            for (int qx = static_cast<int>(x) - 3; qx <= static_cast<int>(x) + 3; ++qx) {
                if (qx < 0 || qy < 0 || qx >= points.width() || qy >= points.height())
                    continue;
                const double d2 = (qx + 0.5 - x) * (qx + 0.5 - x) + (qy + 0.5 - y) * (qy + 0.5 - y);
                const auto v = static_cast<float>(intensity * std::exp(-d2 / (2.0 * radius * radius)));
                float& p = points.at(qx, qy);
                p = std::min(1.0f, p + v);
            }
        }
    }
    addGlow(rgb, points, Colour{0.6f, 0.8f, 0.9f}, 2.5, 2.5, 0.5 * brightness);
    composite(rgb, points, Colour{0.88f, 0.92f, 1.0f}, brightness);
}

} // namespace

Raster titleCard() {
    // The band is shown 1.33 to 1.78 times wider than its pixels are tall; the letters are drawn 1 / 1.54
    // as wide, so they look right between 4:3 and 16:9.
    constexpr int width = 1024;
    constexpr int height = 512;
    constexpr double squeeze = 1.0 / 1.54;
    Raster rgb(width, height, 3);
    hazeBackground(rgb, width * 0.5, height * 0.48, width * 0.42, height * 0.2, 0.55);
    // Fade the haze to the clear colour at the band's top and bottom so the band has no visible edge.
    for (int y = 0; y < height; ++y) {
        const double edge = smoothstep(0.0, 0.22, std::min(y + 0.5, height - y - 0.5) / height);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb.at(x, y, c) = static_cast<float>(rgb.at(x, y, c) * edge);
    }

    const Typeface face(family, "Book");
    const TextStyle title = wordmarkStyleAt(150.0, squeeze);
    const TextStyle byline = smallStyleAt(24.0, squeeze);
    const double baseline = 268.0;
    Raster ink(width, height, 1);
    const TextLine line = face.drawCentred(ink, "halcyra", title, width * 0.5, baseline);
    paintWordmark(rgb, ink, baseline - line.inkTop, baseline, 6.0 * squeeze, 6.0);

    const double ruleY = baseline + 58.0;
    hairline(rgb, width * 0.5 - line.inkWidth() * 0.46, width * 0.5 + line.inkWidth() * 0.46, ruleY, 1.6,
             Colour{0.25f, 0.58f, 0.66f}, 0.9);
    Raster by(width, height, 1);
    face.drawCentred(by, "mosslight", byline, width * 0.5, ruleY + 42.0);
    composite(rgb, by, steelText);
    return rgb;
}

Raster endLogo() {
    constexpr int width = 1024;
    constexpr int height = 512;
    constexpr double squeeze = 1.0 / 1.54;
    const Colour paper{1.0f, 1.0f, 1.0f};
    const Colour carbon{0.06f, 0.065f, 0.07f};
    const Colour yearTeal{0.0f, 0.30f, 0.42f};
    Raster rgb(width, height, 3);
    fill(rgb, paper);

    const Typeface face(family, "Bold");
    const Typeface small(family, "Book");
    TextStyle name;
    name.size = 150.0;
    name.squeeze = squeeze;
    name.tracking = 0.02;
    name.weight = -0.04 * name.size;
    name.opticalSpacing = 0.6;
    const double baseline = 262.0;
    Raster ink(width, height, 1);
    const TextLine line = face.drawCentred(ink, "mosslight", name, width * 0.5, baseline);
    composite(rgb, ink, carbon);

    TextStyle yearStyle = smallStyleAt(40.0, squeeze);
    yearStyle.tracking = 0.45;
    Raster year(width, height, 1);
    const double yearBaseline = baseline + 82.0;
    const TextLine yearLine = small.drawCentred(year, "2007", yearStyle, width * 0.5, yearBaseline);
    composite(rgb, year, yearTeal);
    // Short rules either side of the year, on its x-height middle.
    const double ruleY = yearBaseline - yearLine.inkTop * 0.5;
    const double reach = line.inkWidth() * 0.5;
    const double gap = yearLine.inkWidth() * 0.5 + 26.0;
    Raster rules(width, height, 1);
    fillRectangle(rules, width * 0.5 - reach, ruleY - 1.1, width * 0.5 - gap, ruleY + 1.1);
    fillRectangle(rules, width * 0.5 + gap, ruleY - 1.1, width * 0.5 + reach, ruleY + 1.1);
    composite(rgb, rules, yearTeal, 0.8);
    return rgb;
}

Raster loadingLogo() {
    // The loading canvas is 1024 × 768 with this picture on rows 256 … 512 (y upwards) and the 1024 × 256
    // pixels of the picture mapped one to one in the 4:3 mode. The progress bar fills x 258 … 758 at
    // y 299 … 309 and the status line prints at (460, 280), so the lower part stays dark, with a groove
    // for the bar. Canvas y maps to picture row 512 − y.
    constexpr int width = 1024;
    constexpr int height = 256;
    constexpr double squeeze = 1.0 / 1.15; // between the 4:3 and 16:9 stretch of the canvas
    Raster rgb(width, height, 3);
    const double centreX = 508.0; // the bar's centre
    hazeBackground(rgb, centreX, 92.0, 330.0, 60.0, 0.45);
    for (int y = 0; y < height; ++y) {
        const double edge = smoothstep(0.0, 40.0, std::min(y + 0.5, height - y - 0.5));
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb.at(x, y, c) = static_cast<float>(rgb.at(x, y, c) * edge);
    }

    const Typeface face(family, "Book");
    const TextStyle title = wordmarkStyleAt(104.0, squeeze);
    const double baseline = 122.0;
    Raster ink(width, height, 1);
    const TextLine line = face.drawCentred(ink, "halcyra", title, centreX, baseline);
    paintWordmark(rgb, ink, baseline - line.inkTop, baseline, 4.0 * squeeze, 4.0);
    Raster by(width, height, 1);
    face.drawCentred(by, "mosslight", smallStyleAt(17.0, squeeze), centreX, baseline + 44.0);
    composite(rgb, by, steelText);

    // The groove: a one-pixel frame around the bar's full length with one pixel of air.
    Raster groove(width, height, 1);
    fillRectangle(groove, 256.0, 512.0 - 311.0, 760.0, 512.0 - 297.0);
    composite(rgb, groove, Colour{0.012f, 0.03f, 0.042f});
    Raster frame(width, height, 1);
    strokeRectangle(frame, 256.0, 512.0 - 311.0, 760.0, 512.0 - 297.0, 1.0);
    composite(rgb, frame, Colour{0.07f, 0.24f, 0.30f});
    return rgb;
}

Raster banner() {
    constexpr int width = 512;
    constexpr int height = 232;
    Raster rgb(width, height, 3);
    for (int y = 0; y < height; ++y) {
        const double t = (y + 0.5) / height;
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width - 0.5;
            const double horizon = std::exp(-std::pow((t - 0.56) * 5.5, 2.0)) * (1.0 - 1.6 * u * u);
            const Colour c = mix(mix(Colour{0.008f, 0.013f, 0.026f}, Colour{0.02f, 0.035f, 0.05f}, t),
                                 Colour{0.0f, 0.13f, 0.19f}, 0.55 * std::max(0.0, horizon));
            rgb.at(x, y, 0) = c.r;
            rgb.at(x, y, 1) = c.g;
            rgb.at(x, y, 2) = c.b;
        }
    }
    pointRing(rgb, width * 0.5, 108.0, 236.0, 44.0, -0.06, 700, 0.5, 0x5eed0400u);

    const Typeface face(family, "Book");
    const TextStyle title = wordmarkStyleAt(78.0, 1.0);
    const double baseline = 124.0;
    Raster ink(width, height, 1);
    const TextLine line = face.drawCentred(ink, "halcyra", title, width * 0.5, baseline);
    paintWordmark(rgb, ink, baseline - line.inkTop, baseline, 3.0, 3.0);
    hairline(rgb, width * 0.5 - line.inkWidth() * 0.42, width * 0.5 + line.inkWidth() * 0.42, baseline + 34.0,
             1.0, Colour{0.25f, 0.58f, 0.66f}, 0.8);
    Raster by(width, height, 1);
    face.drawCentred(by, "mosslight", smallStyleAt(13.0, 1.0), width * 0.5, baseline + 60.0);
    composite(rgb, by, steelText);
    return rgb;
}

Raster appIcon() {
    // The logo's "h" on the banner's night sky, inside a tile with rounded corners that is clear outside,
    // so the icon sits on light and dark desktops alike.
    constexpr int size = 256;
    constexpr double inset = 8.0;
    constexpr double corner = 44.0;
    Raster rgb(size, size, 3);
    hazeBackground(rgb, size * 0.5, size * 0.56, size * 0.42, size * 0.3, 0.7);
    pointRing(rgb, size * 0.5, size * 0.6, 100.0, 26.0, -0.12, 260, 0.55, 0x5eed0500u);

    const Typeface face(family, "Book");
    TextStyle letter = wordmarkStyleAt(190.0, 1.0);
    letter.weight = 0.0;
    const double baseline = 190.0;
    Raster ink(size, size, 1);
    const TextLine line = face.drawCentred(ink, "h", letter, size * 0.5, baseline);
    paintWordmark(rgb, ink, baseline - line.inkTop, baseline, 5.0, 5.0);

    Raster icon(size, size, 4);
    const double half = size * 0.5 - inset;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Signed distance to the rounded tile's edge, negative inside; one pixel of anti-aliasing.
            const double qx = std::abs(x + 0.5 - size * 0.5) - (half - corner);
            const double qy = std::abs(y + 0.5 - size * 0.5) - (half - corner);
            const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
            const double distance = outside + std::min(std::max(qx, qy), 0.0) - corner;
            for (int c = 0; c < 3; ++c)
                icon.at(x, y, c) = rgb.at(x, y, c);
            icon.at(x, y, 3) = static_cast<float>(std::clamp(0.5 - distance, 0.0, 1.0));
        }
    }
    return icon;
}

} // namespace halcyra::tools
