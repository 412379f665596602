// The greeting cube's faces: per group a smooth steel plate with the group's name, the "greetings" line
// over it and the group's emblem under it, inside a ring; the plate's embossed normal map; and a du/dv map
// that bends the cube's reflection around the raised letters. All three come from one height field, so
// colour, relief and distortion line up. Each group has its own face and accent colour within the
// production's cool palette; the layout is shared, turned for each group so that its name stands upright
// when the turning cube shows it most squarely.
#include "Geometry.h"
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

// How far each group's lettering is turned on its face, in degrees counter-clockwise as the picture is
// seen. The cube shows the same picture on all six faces and turns fast; in the middle of each greeting one
// face turns most squarely to the eye, and the turn stands the name upright on that face at that moment.
// Worked out from the greeting scene's orbit, clocks and cube rotation (the production data test plays
// them and checks every name).
constexpr double nameTurns[8] = {-47.0, 54.0, 157.0, -21.0, -89.0, 98.0, 47.0, -35.0};

// Everything the three maps of one group share.
struct Plate {
    Raster name;     // coverage of the group's name, turned
    Raster label;    // coverage of the "greetings" line over it, turned with it
    Raster ornament; // coverage of the ring round the face and the group's emblem under the name
    Raster height;   // relief: rim 0, plate 0.25, ornament and label 0.45, letters 1
};

// The coverage turned by `degrees` counter-clockwise (as the picture is seen) about the face's centre.
Raster turned(const Raster& coverage, double degrees) {
    const double a = degrees * pi / 180.0, c = std::cos(a), s = std::sin(a);
    const double centre = faceSize * 0.5;
    Raster out(coverage.width(), coverage.height(), 1);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            // Rows run downwards, so a turn counter-clockwise on screen is clockwise in (x, row); each
            // pixel is read from where the turn brings it from.
            const double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
            const double sx = dx * c - dy * s + centre, sy = dx * s + dy * c + centre;
            out.at(x, y) = coverage.sample(sx, sy, 0, Edge::Clamp);
        }
    }
    return out;
}

// A ring of the given radius and stroke width about the face's centre, its edges anti-aliased.
void strokeRing(Raster& coverage, double radius, double width) {
    const double centre = faceSize * 0.5;
    for (int y = 0; y < coverage.height(); ++y) {
        for (int x = 0; x < coverage.width(); ++x) {
            const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
            const double covered = std::clamp(0.5 * width + 0.5 - std::abs(d - radius), 0.0, 1.0);
            float& p = coverage.at(x, y);
            p = std::max(p, static_cast<float>(covered));
        }
    }
}

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
    Raster upright(faceSize, faceSize, 1), label(faceSize, faceSize, 1), mark(faceSize, faceSize, 1);

    // The name as large as fits 360 pixels, with its x-height centre on the face's middle: turned to any
    // angle, the line with the label over it and the emblem under it stays inside the ring.
    const Typeface face(look.family, look.style);
    TextStyle style;
    style.size = 140.0;
    style.tracking = 0.02;
    style.opticalSpacing = 0.5;
    TextLine line = face.layout(name, style);
    if (line.inkWidth() > 360.0) {
        style.size *= 360.0 / line.inkWidth();
        line = face.layout(name, style);
    }
    const double baseline = faceSize * 0.5 + style.size * 0.26;
    face.draw(upright, line, style, faceSize * 0.5 - (line.inkLeft + line.inkRight) * 0.5, baseline);

    // The "greetings" line, large and bold enough to read on the turning cube.
    const Typeface small("DejaVu Sans", "Bold");
    TextStyle labelStyle;
    labelStyle.size = 34.0;
    labelStyle.tracking = 0.3;
    small.drawCentred(label, "greetings", labelStyle, faceSize * 0.5,
                      faceSize * 0.5 - style.size * 0.5 - 20.0);
    emblem(mark, group, faceSize * 0.5, baseline + 62.0);

    const double turn = nameTurns[group];
    Plate plate{turned(upright, turn), turned(label, turn), turned(mark, turn),
                Raster(faceSize, faceSize, 1)};
    // The rings look the same at every turn, so the face has no up of its own but the name's.
    strokeRing(plate.ornament, faceSize * 0.5 - 30.0, 3.0);
    strokeRing(plate.ornament, faceSize * 0.5 - 40.0, 1.2);

    // Relief: the plate rises from the rim over a short bevel; letters are domed by blurring their shape.
    // The plate itself is smooth, so the face stays quiet between the letters.
    Raster bevel(faceSize, faceSize, 1);
    fillRectangle(bevel, border, border, faceSize - border, faceSize - border);
    bevel.blur(1.5, 1.5, Edge::Clamp);
    Raster letters = plate.name;
    letters.blur(2.2, 2.2, Edge::Clamp);
    Raster raised = plate.ornament;
    for (int y = 0; y < faceSize; ++y)
        for (int x = 0; x < faceSize; ++x)
            raised.at(x, y) = std::max(raised.at(x, y), plate.label.at(x, y));
    raised.blur(1.0, 1.0, Edge::Clamp);
    for (int y = 0; y < faceSize; ++y)
        for (int x = 0; x < faceSize; ++x)
            plate.height.at(x, y) =
                static_cast<float>(0.25 * bevel.at(x, y) + 0.2 * raised.at(x, y) + 0.75 * letters.at(x, y));
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
    composite(rgb, plate.ornament, mix(accent, Colour{0.1f, 0.12f, 0.14f}, 0.35), 0.9);
    composite(rgb, plate.label, mix(accent, Colour{0.92f, 0.96f, 1.0f}, 0.3), 0.95);
    addGlow(rgb, plate.name, accent, 10.0, 10.0, 0.25);
    addGlow(rgb, plate.name, accent, 3.0, 3.0, 0.12);
    // The name's ice at a little over half of white: lit, it still reaches white on the screen, but stays
    // near the glow's threshold, so its glow rings the letters instead of flooding their counters.
    composite(rgb, plate.name, scaled(mix(Colour{0.92f, 0.96f, 1.0f}, accent, 0.15), 0.55));
    return rgb;
}

GreetingLettering greetingLettering(int group) {
    const Plate& plate = plateOf(group);
    return {plate.name, plate.label};
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
            relief.at(x, y) =
                0.75f * plate.name.at(x, y) + 0.2f * std::max(plate.label.at(x, y), plate.ornament.at(x, y));
    relief.blur(5.0, 5.0, Edge::Clamp);
    return distortionMapFromHeight(relief, 0.32, Edge::Clamp);
}

} // namespace halcyra::tools
