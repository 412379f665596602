// The greeting cube's faces: per group a steel plate with the group's name, the plate's embossed normal map
// and a du/dv map that bends the cube's reflection around the raised letters. All three come from one
// height field, so colour, relief and distortion line up. Each group has its own face and accent colour
// within the production's cool palette; the layout is shared.
#include "Noise.h"
#include "NormalMaps.h"
#include "Paint.h"
#include "Pictures.h"
#include "Typeface.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

namespace halcyra::tools {
namespace {

constexpr int faceSize = 512;
constexpr double border = 12.0; // flat rim: every edge row and column of every map is the same
constexpr double plateFrameInset = 30.0;

struct GroupLook {
    const char* family;
    const char* style;
    Colour accent;
};

const GroupLook looks[8] = {{"Liberation Sans", "Bold", {0.2f, 0.88f, 0.98f}},         // tamrik: teal
                            {"DejaVu Serif", "Book", {0.62f, 0.80f, 1.0f}},            // ovomel: ice blue
                            {"Liberation Sans Narrow", "Bold", {0.30f, 0.95f, 0.80f}}, // sundrift: aquamarine
                            {"DejaVu Sans", "Bold", {0.45f, 0.62f, 0.92f}},            // yrda: steel blue
                            {"Liberation Serif", "Bold", {0.75f, 0.95f, 1.0f}},        // belko: cyan white
                            {"DejaVu Sans Mono", "Bold", {0.25f, 0.80f, 0.66f}},       // zorda: sea green
                            {"Liberation Sans", "Regular", {0.58f, 0.62f, 1.0f}},      // kivo: periwinkle
                            {"Liberation Serif", "Italic", {0.52f, 0.86f, 0.88f}}};    // lanterna: pale teal

// Everything the three maps of one group share.
struct Plate {
    Raster name;    // coverage of the group's name
    Raster details; // coverage of the frame, the label and the emblem
    Raster height;  // relief: rim 0, plate 0.25, details 0.45, letters 1
};

// Whether (dx, dy) from its centre lies inside group's mark: a disc, a diamond, a ring, a square, two dots,
// a triangle, a bar and a cross, about 9 pixels in radius.
bool insideEmblem(int group, double dx, double dy) {
    constexpr double r = 9.0;
    const double d = std::hypot(dx, dy);
    switch (group) {
    case 0:
        return d < r;
    case 1:
        return std::abs(dx) + std::abs(dy) < r * 1.25;
    case 2:
        return d < r && d > r * 0.55;
    case 3:
        return std::abs(dx) < r * 0.8 && std::abs(dy) < r * 0.8;
    case 4:
        return std::hypot(std::abs(dx) - r * 1.3, dy) < r * 0.55;
    case 5:
        return dy < r * 0.7 && dy > -r && std::abs(dx) < (dy + r) * 0.62;
    case 6:
        return std::abs(dx) < r * 2.2 && std::abs(dy) < r * 0.3;
    default:
        return (std::abs(dx) < r * 0.28 || std::abs(dy) < r * 0.28) && d < r * 1.1;
    }
}

// Unites group's mark, centred at (cx, cy), with a coverage raster; 4 × 4 samples per pixel smooth its edges.
void emblem(Raster& coverage, int group, double cx, double cy) {
    for (int y = static_cast<int>(cy) - 20; y <= static_cast<int>(cy) + 20; ++y) {
        for (int x = static_cast<int>(cx) - 28; x <= static_cast<int>(cx) + 28; ++x) {
            if (x < 0 || y < 0 || x >= coverage.width() || y >= coverage.height())
                continue;
            double covered = 0.0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    covered += insideEmblem(group, x + (sx + 0.5) / 4.0 - cx, y + (sy + 0.5) / 4.0 - cy)
                                   ? 1.0 / 16
                                   : 0.0;
            float& p = coverage.at(x, y);
            p = std::max(p, static_cast<float>(covered));
        }
    }
}

Plate makePlate(int group) {
    const GroupLook& look = looks[group];
    const std::string& name = greetedGroups()[static_cast<size_t>(group)];
    Plate plate{Raster(faceSize, faceSize, 1), Raster(faceSize, faceSize, 1), Raster(faceSize, faceSize, 1)};

    // The name as large as fits 350 pixels, with its x-height centre on the face's middle.
    const Typeface face(look.family, look.style);
    TextStyle style;
    style.size = 132.0;
    style.tracking = 0.02;
    style.opticalSpacing = 0.5;
    TextLine line = face.layout(name, style);
    if (line.inkWidth() > 350.0) {
        style.size *= 350.0 / line.inkWidth();
        line = face.layout(name, style);
    }
    const double baseline = faceSize * 0.5 + style.size * 0.26;
    face.draw(plate.name, line, style, faceSize * 0.5 - (line.inkLeft + line.inkRight) * 0.5, baseline);

    const Typeface small("DejaVu Sans", "Book");
    TextStyle label;
    label.size = 17.0;
    label.tracking = 0.6;
    small.drawCentred(plate.details, "greetings", label, faceSize * 0.5, faceSize * 0.5 - style.size * 0.62);
    emblem(plate.details, group, faceSize * 0.5, baseline + 68.0);
    strokeRectangle(plate.details, plateFrameInset, plateFrameInset, faceSize - plateFrameInset,
                    faceSize - plateFrameInset, 2.0);

    // Relief: the plate rises from the rim over a short bevel; letters are domed by blurring their shape.
    Raster bevel(faceSize, faceSize, 1);
    fillRectangle(bevel, border, border, faceSize - border, faceSize - border);
    bevel.blur(1.5, 1.5, Edge::Clamp);
    Raster letters = plate.name;
    letters.blur(2.2, 2.2, Edge::Clamp);
    Raster raised = plate.details;
    raised.blur(1.0, 1.0, Edge::Clamp);
    const Raster brushed = fractalNoise(faceSize, faceSize, 2, 64, 3, 0.6, 0x5eed0600u + group);
    for (int y = 0; y < faceSize; ++y) {
        for (int x = 0; x < faceSize; ++x) {
            const double plateHeight = 0.25 * bevel.at(x, y);
            const double inside = bevel.at(x, y) > 0.999f ? 1.0 : 0.0;
            double h = plateHeight + 0.2 * raised.at(x, y) + 0.75 * letters.at(x, y);
            h += inside * 0.012 * brushed.at(x, y);
            plate.height.at(x, y) = static_cast<float>(h);
        }
    }
    return plate;
}

// Each group's plate is made once and shared by its three maps, whichever thread asks first.
const Plate& plateOf(int group) {
    static std::array<std::once_flag, 8> made;
    static std::array<std::unique_ptr<Plate>, 8> plates;
    std::call_once(made[static_cast<size_t>(group)], [group] {
        plates[static_cast<size_t>(group)] = std::make_unique<Plate>(makePlate(group));
    });
    return *plates[static_cast<size_t>(group)];
}

} // namespace

const std::array<std::string, 8>& greetedGroups() {
    static const std::array<std::string, 8> groups = {"tamrik", "ovomel", "sundrift", "yrda",
                                                      "belko",  "zorda",  "kivo",     "lanterna"};
    return groups;
}

Raster greetingFace(int group) {
    const Plate& plate = plateOf(group);
    const Colour accent = looks[group].accent;
    Raster rgb(faceSize, faceSize, 3);
    // Steel, lit from the top left: the relief shades the plate so the face reads embossed in colour too.
    const Raster normals = normalMapFromHeight(plate.height, 6.0, Edge::Clamp);
    for (int y = 0; y < faceSize; ++y) {
        for (int x = 0; x < faceSize; ++x) {
            const double t = (y + 0.5) / faceSize;
            const bool rim = std::min({x, y, faceSize - 1 - x, faceSize - 1 - y}) < border;
            Colour base = rim ? Colour{0.035f, 0.04f, 0.05f}
                              : mix(Colour{0.085f, 0.10f, 0.12f}, Colour{0.03f, 0.037f, 0.05f}, t);
            const double nx = normals.at(x, y, 0) * 2.0 - 1.0;
            const double ny = normals.at(x, y, 1) * 2.0 - 1.0;
            const double nz = normals.at(x, y, 2) * 2.0 - 1.0;
            const double light = std::max(0.0, -0.45 * nx + 0.45 * ny + 0.77 * nz) / 0.77;
            base = scaled(base, 0.55 + 0.45 * light + 0.9 * std::max(0.0, light - 1.0));
            rgb.at(x, y, 0) = base.r;
            rgb.at(x, y, 1) = base.g;
            rgb.at(x, y, 2) = base.b;
        }
    }
    composite(rgb, plate.details, mix(accent, Colour{0.1f, 0.12f, 0.14f}, 0.35), 0.9);
    addGlow(rgb, plate.name, accent, 10.0, 10.0, 0.25);
    addGlow(rgb, plate.name, accent, 3.0, 3.0, 0.12);
    // The name's ice at a little over half of white: lit, it still reaches white on the screen, but stays
    // near the glow's threshold, so its glow rings the letters instead of flooding their counters.
    composite(rgb, plate.name, scaled(mix(Colour{0.92f, 0.96f, 1.0f}, accent, 0.15), 0.55));
    return rgb;
}

Raster greetingNormalMap(int group) {
    return normalMapFromHeight(plateOf(group).height, 6.0, Edge::Clamp);
}

Raster greetingDistortionMap(int group) {
    // The raised letters and details, softened, bend the reflection in broad swells rather than sharp
    // steps; the plate's bevel is left out so the rim stays undistorted.
    const Plate& plate = plateOf(group);
    Raster relief(faceSize, faceSize, 1);
    for (int y = 0; y < faceSize; ++y)
        for (int x = 0; x < faceSize; ++x)
            relief.at(x, y) = 0.75f * plate.name.at(x, y) + 0.2f * plate.details.at(x, y);
    relief.blur(5.0, 5.0, Edge::Clamp);
    return distortionMapFromHeight(relief, 0.32, Edge::Clamp);
}

} // namespace halcyra::tools
