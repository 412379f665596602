// The credits picture and its normal map: every panel a dark steel plate with a hairline teal frame, its
// heading in the title's light, widely spaced face in ice white with a teal glow, and small spaced labels;
// the letters stand raised on the plate. Below the bands, plain brushed steel for the panels' edges.
#include "Credits.h"

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

constexpr int size = creditsPictureSize;
constexpr double rim = 8.0; // flat border of every band, so that filtering never mixes two bands
constexpr double letterFrameInset = 18.0;
const Colour glowTeal{0.2f, 0.88f, 0.98f};
const Colour labelSteel{0.48f, 0.66f, 0.72f};

// Everything the two maps share.
struct Plates {
    Raster letters; // headings
    Raster details; // frames, labels and bylines
    Raster plate;   // 1 on the plates inside their rims
    Raster grain;   // brushed steel, about −1 … 1
    Raster height;
    Raster normals;
};

// Width of the panel front for a band of `rows`, at the panel's height in world units.
CreditPanel panel(std::string label, std::string heading, std::string byline, double height, int top,
                  int rows) {
    return {std::move(label), std::move(heading), std::move(byline), height * size / rows, height, top, rows};
}

Plates makePlates() {
    Plates p{Raster(size, size, 1), Raster(size, size, 1),
             Raster(size, size, 1), fractalNoise(size, size, 2, 128, 3, 0.6, 0x5eed0900u),
             Raster(size, size, 1), Raster()};
    // One face for all: the title's light weight comes from thinning the book face's strokes.
    const Typeface face("DejaVu Sans", "Book");
    for (const CreditPanel& panel : creditPanels()) {
        const double top = panel.bandTop;
        const double bottom = panel.bandTop + panel.bandRows;
        fillRectangle(p.plate, rim, top + rim, size - rim, bottom - rim);
        strokeRectangle(p.details, letterFrameInset, top + letterFrameInset, size - letterFrameInset,
                        bottom - letterFrameInset, 2.0);

        const bool title = panel.bandTop == 0;
        TextStyle heading;
        heading.size = title ? 124.0 : panel.bandRows * 0.56;
        heading.tracking = title ? 0.16 : 0.1;
        heading.weight = -0.01 * heading.size;
        heading.opticalSpacing = 0.7;
        TextLine line = face.layout(panel.heading, heading);
        if (line.inkWidth() > size - 200.0) {
            heading.size *= (size - 200.0) / line.inkWidth();
            heading.weight = -0.01 * heading.size;
            line = face.layout(panel.heading, heading);
        }
        // The heading's ink is centred a little above the band's middle when a byline follows, a little
        // below it under a label. Ink bounds are y up from the baseline; picture rows run down.
        double middle = (top + bottom) * 0.5;
        if (!panel.byline.empty())
            middle -= panel.bandRows * 0.09;
        if (!panel.label.empty())
            middle += panel.bandRows * 0.1;
        const double baseline = middle + (line.inkTop + line.inkBottom) * 0.5;
        face.draw(p.letters, line, heading, size * 0.5 - (line.inkLeft + line.inkRight) * 0.5, baseline);

        TextStyle small;
        small.size = std::max(16.0, panel.bandRows * 0.14);
        small.tracking = 0.55;
        small.opticalSpacing = 0.5;
        const double halfInk = (line.inkTop - line.inkBottom) * 0.5;
        if (!panel.label.empty())
            face.drawCentred(p.details, panel.label, small, size * 0.5, middle - halfInk - small.size * 0.6);
        if (!panel.byline.empty())
            face.drawCentred(p.details, panel.byline, small, size * 0.5, middle + halfInk + small.size * 1.6);
    }

    Raster bevel = p.plate;
    bevel.blur(1.5, 1.5, Edge::Clamp);
    Raster raisedLetters = p.letters;
    raisedLetters.blur(2.0, 2.0, Edge::Clamp);
    Raster raisedDetails = p.details;
    raisedDetails.blur(1.0, 1.0, Edge::Clamp);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            p.height.at(x, y) = static_cast<float>(0.25 * bevel.at(x, y) + 0.2 * raisedDetails.at(x, y) +
                                                   0.75 * raisedLetters.at(x, y) + 0.012 * p.grain.at(x, y));
    p.normals = normalMapFromHeight(p.height, 6.0, Edge::Clamp);
    return p;
}

const Plates& plates() {
    static std::once_flag made;
    static std::unique_ptr<Plates> picture;
    std::call_once(made, [] { picture = std::make_unique<Plates>(makePlates()); });
    return *picture;
}

int steelTop() {
    const CreditPanel& last = creditPanels().back();
    return last.bandTop + last.bandRows;
}

} // namespace

const std::vector<CreditPanel>& creditPanels() {
    static const std::vector<CreditPanel> panels = {
        panel("", "halcyra", "", 14.0, 0, 192),
        panel("a demo by", "mosslight", "", 7.0, 192, 128),
        panel("", "code", "mosslight", 12.0, 320, 192),
        panel("", "music", "mosslight", 12.0, 512, 192),
        panel("", "graphics", "mosslight", 12.0, 704, 192),
    };
    return panels;
}

UvRect creditFrontUv(const CreditPanel& panel) {
    return {0.0, 1.0 - static_cast<double>(panel.bandTop + panel.bandRows) / size, 1.0,
            1.0 - static_cast<double>(panel.bandTop) / size};
}

UvRect creditSteelUv() {
    // The middle of the steel rows, clear of the last band's rim.
    const double top = steelTop() + 16.0;
    const double bottom = size - 16.0;
    return {0.05, 1.0 - bottom / size, 0.95, 1.0 - top / size};
}

Raster creditsTexture() {
    const Plates& p = plates();
    Raster rgb(size, size, 3);
    const Raster& normals = p.normals;
    for (int y = 0; y < size; ++y) {
        // Each band darkens towards its foot; the steel rows stay even.
        double t = 0.5;
        for (const CreditPanel& panel : creditPanels())
            if (y >= panel.bandTop && y < panel.bandTop + panel.bandRows)
                t = (y + 0.5 - panel.bandTop) / panel.bandRows;
        for (int x = 0; x < size; ++x) {
            const bool onPlate = p.plate.at(x, y) > 0.5f || y >= steelTop();
            // Dark enough for the scene's fourfold exposure; the letters stay bright.
            Colour base = onPlate ? mix(Colour{0.016f, 0.03f, 0.044f}, Colour{0.006f, 0.012f, 0.02f}, t)
                                  : Colour{0.01f, 0.013f, 0.018f};
            // The relief shades the plate, lit from the top left, so it reads embossed in colour too.
            const double nx = normals.at(x, y, 0) * 2.0 - 1.0;
            const double ny = normals.at(x, y, 1) * 2.0 - 1.0;
            const double nz = normals.at(x, y, 2) * 2.0 - 1.0;
            const double lit = std::max(0.0, -0.45 * nx + 0.45 * ny + 0.77 * nz) / 0.77;
            base = scaled(base, (0.6 + 0.4 * lit) * (1.0 + 0.08 * p.grain.at(x, y)));
            rgb.at(x, y, 0) = base.r;
            rgb.at(x, y, 1) = base.g;
            rgb.at(x, y, 2) = base.b;
        }
    }
    composite(rgb, p.details, mix(labelSteel, glowTeal, 0.35), 0.95);
    addGlow(rgb, p.letters, glowTeal, 9.0, 9.0, 0.22);
    // The headings' ice is half white: lit and shining by themselves they still reach white on the
    // screen, but stay close enough to the glow's threshold that their glow rings them instead of
    // flooding the strokes.
    composite(rgb, p.letters, Colour{0.47f, 0.49f, 0.5f});
    // The headings shine by themselves in a teal halo, the frames and small lines more softly, so the
    // names read at a glance whatever the light does.
    Raster glow(size, size, 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            glow.at(x, y) = std::min(1.0f, 0.35f * p.letters.at(x, y) + 0.2f * p.details.at(x, y));
    return withGlow(rgb, glow);
}

Raster creditsNormalMap() {
    return plates().normals;
}

} // namespace halcyra::tools
