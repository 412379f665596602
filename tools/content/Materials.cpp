// The models' surface pictures that tile: brushed steel panels, teal ceramic tiles, the bright glow strips,
// a flat normal map for smooth surfaces, and the banded planet ring. The scenes expose their picture by 16
// to the power of their exposure (2.5 to 16 times), so the surfaces are painted dark: lit, they come out
// in the production's palette of dark steel, teal near (0, 0.2, 0.3) and ice white for what should glow.
#include "Noise.h"
#include "NormalMaps.h"
#include "Paint.h"
#include "Pictures.h"
#include "ShowLayout.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

namespace halcyra::tools {
namespace {

constexpr int steelSize = 512;
constexpr int steelPanels = 2; // panels per side of the tile
constexpr int tealSize = 256;
constexpr int tealTiles = 4;

// Distance in pixels from (x, y) to the nearest seam of a grid of `cells` square cells over `size` pixels.
// The seams lie half a cell in from the picture's edges, so that where the picture wraps it wraps in the
// middle of a panel and not across a groove.
double seamDistance(double x, double y, int size, int cells) {
    const double cell = static_cast<double>(size) / cells;
    const double fx = std::fmod(x + cell * 0.5, cell);
    const double fy = std::fmod(y + cell * 0.5, cell);
    return std::min({fx, cell - fx, fy, cell - fy});
}

// Steel: the relief (seams sunk, rivets raised, brushed grain) and the albedo variation, made once.
struct Steel {
    Raster height;
    Raster tone;
};

Steel makeSteel() {
    Steel steel{Raster(steelSize, steelSize, 1), Raster(steelSize, steelSize, 1)};
    const Raster brushed = fractalNoise(steelSize, steelSize, 2, 96, 3, 0.55, 0x5eed0700u);
    const Raster clouds = fractalNoise(steelSize, steelSize, 4, 4, 4, 0.5, 0x5eed0701u);
    const double cell = static_cast<double>(steelSize) / steelPanels;
    for (int y = 0; y < steelSize; ++y) {
        for (int x = 0; x < steelSize; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double seam = seamDistance(px, py, steelSize, steelPanels);
            // A 3-pixel groove with rounded shoulders.
            const double groove = 1.0 - smoothstep(1.0, 3.5, seam);
            // Rivets 14 pixels in from each panel corner.
            double rivet = 0.0;
            const double cx = std::fmod(px + cell * 0.5, cell), cy = std::fmod(py + cell * 0.5, cell);
            for (const double rx : {14.0, cell - 14.0})
                for (const double ry : {14.0, cell - 14.0})
                    rivet = std::max(rivet, 1.0 - smoothstep(2.0, 4.0, std::hypot(cx - rx, cy - ry)));
            steel.height.at(x, y) =
                static_cast<float>(-0.9 * groove + 0.5 * rivet + 0.035 * brushed.at(x, y));
            steel.tone.at(x, y) = static_cast<float>(0.09 * brushed.at(x, y) + 0.06 * clouds.at(x, y) -
                                                     0.45 * groove + 0.25 * rivet);
        }
    }
    return steel;
}

const Steel& steel() {
    static std::once_flag made;
    static std::unique_ptr<Steel> picture;
    std::call_once(made, [] { picture = std::make_unique<Steel>(makeSteel()); });
    return *picture;
}

// Teal tiles: each tile a slightly domed square with a rounded edge, grout between.
struct Tiles {
    Raster height;
    Raster shade; // per-tile brightness, 0.85 … 1.15
};

Tiles makeTiles() {
    Tiles tiles{Raster(tealSize, tealSize, 1), Raster(tealSize, tealSize, 1)};
    Random random(0x5eed0710u);
    double tileShade[tealTiles][tealTiles];
    for (auto& row : tileShade)
        for (double& s : row)
            s = random.range(0.85, 1.15);
    const Raster mottle = fractalNoise(tealSize, tealSize, 8, 8, 3, 0.5, 0x5eed0711u);
    const int cell = tealSize / tealTiles;
    for (int y = 0; y < tealSize; ++y) {
        for (int x = 0; x < tealSize; ++x) {
            const double seam = seamDistance(x + 0.5, y + 0.5, tealSize, tealTiles);
            const double face = smoothstep(1.0, 4.0, seam);
            tiles.height.at(x, y) = static_cast<float>(face + 0.02 * mottle.at(x, y));
            tiles.shade.at(x, y) = static_cast<float>(
                face * tileShade[((y + cell / 2) / cell) % tealTiles][((x + cell / 2) / cell) % tealTiles] *
                (1.0 + 0.06 * mottle.at(x, y)));
        }
    }
    return tiles;
}

const Tiles& tiles() {
    static std::once_flag made;
    static std::unique_ptr<Tiles> picture;
    std::call_once(made, [] { picture = std::make_unique<Tiles>(makeTiles()); });
    return *picture;
}

// The steel's panels in a colour: the panel tone (seams dark, rivets bright, brushed grain) scaled by
// `contrast` about the base colour.
Raster paintedSteel(Colour base, double contrast, double brightest) {
    const Steel& s = steel();
    Raster rgb(steelSize, steelSize, 3);
    for (int y = 0; y < steelSize; ++y) {
        for (int x = 0; x < steelSize; ++x) {
            const Colour c = scaled(base, std::clamp(1.0 + contrast * s.tone.at(x, y), 0.2, brightest));
            rgb.at(x, y, 0) = c.r;
            rgb.at(x, y, 1) = c.g;
            rgb.at(x, y, 2) = c.b;
        }
    }
    return rgb;
}

} // namespace

Raster steelTexture() {
    return paintedSteel(Colour{0.06f, 0.072f, 0.088f}, 1.0, 1.6);
}

Raster floorTexture() {
    // A darker, bluer alloy: the floors the sculptures stand on stay below the lit forms on them.
    return paintedSteel(Colour{0.026f, 0.032f, 0.046f}, 1.3, 1.8);
}

Raster steelNormalMap() {
    return normalMapFromHeight(steel().height, 2.5, Edge::Wrap);
}

Raster tealTexture() {
    const Tiles& t = tiles();
    Raster rgb(tealSize, tealSize, 3);
    const Colour grout{0.012f, 0.03f, 0.042f};
    const Colour glaze{0.0f, 0.16f, 0.24f};
    for (int y = 0; y < tealSize; ++y) {
        for (int x = 0; x < tealSize; ++x) {
            const double shade = t.shade.at(x, y);
            const Colour c = mix(grout, scaled(glaze, shade), std::min(1.0, shade));
            rgb.at(x, y, 0) = c.r;
            rgb.at(x, y, 1) = c.g;
            rgb.at(x, y, 2) = c.b;
        }
    }
    return rgb;
}

Raster tealNormalMap() {
    return normalMapFromHeight(tiles().height, 3.0, Edge::Wrap);
}

Raster glowTexture() {
    constexpr int size = 64;
    Raster grey = fractalNoise(size, size, 2, 2, 3, 0.5, 0x5eed0720u);
    normalise(grey, 0.0, 0.03);
    Raster rgb(size, size, 3);
    const Colour ice{0.78f, 0.95f, 1.0f};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Colour c = scaled(ice, 1.0 + grey.at(x, y));
            rgb.at(x, y, 0) = std::min(1.0f, c.r);
            rgb.at(x, y, 1) = std::min(1.0f, c.g);
            rgb.at(x, y, 2) = std::min(1.0f, c.b);
        }
    }
    // The strips shine by themselves, at two thirds of full strength, and catch the light a little too.
    Raster glow(size, size, 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            glow.at(x, y) = 0.65f;
    return withGlow(rgb, glow);
}

Raster lampTexture() {
    // Small warm lamps: amber, glowing near full strength, so that they read as lights against the cool
    // strips and bloom into a halo round a bright core.
    Raster rgb(4, 4, 3);
    fill(rgb, Colour{0.95f, 0.7f, 0.42f});
    Raster glow(4, 4, 1, 0.8f);
    return withGlow(rgb, glow);
}

Raster flatNormalMap() {
    Raster rgb(4, 4, 3);
    fill(rgb, Colour{0.5f, 0.5f, 1.0f});
    return rgb;
}

Raster ringTexture() {
    // u runs around the ring (the picture wraps left to right), v across it from the inner edge (bottom
    // row) to the outer one: fine bands of ice and dust over dark steel, a teal lane in the middle. Each of
    // the ring's three bands fades into dark dust over its last stretch, into the lanes between them and
    // towards the sheet's inner and outer edges.
    constexpr int width = 512;
    constexpr int height = 256;
    constexpr double edgeFade = 1.6; // world units
    Random random(0x5eed0730u);
    std::vector<double> band(height, 0.0);
    for (int k = 0; k < 40; ++k) {
        const double centre = random.range(0.0, height);
        const double spread = random.range(0.6, 7.0);
        const double strength = random.range(-0.3, 0.6);
        for (int y = 0; y < height; ++y)
            band[static_cast<size_t>(y)] += strength * std::exp(-0.5 * std::pow((y - centre) / spread, 2.0));
    }
    const Raster streaks = fractalNoise(width, height, 16, 1, 3, 0.5, 0x5eed0731u);
    Raster rgb(width, height, 3);
    const Colour dust{0.02f, 0.032f, 0.045f};
    const Colour ice{0.13f, 0.2f, 0.25f};
    const Colour teal{0.12f, 0.75f, 0.85f};
    const Colour edge = scaled(dust, 0.35);
    // The teal lane glows by itself, and the brightest ice bands faintly.
    Raster glow(width, height, 1);
    for (int y = 0; y < height; ++y) {
        const double v = 1.0 - (y + 0.5) / height;
        const double radius = show::ringInner + v * (show::ringOuter - show::ringInner);
        double inside = 0.0; // how far into its band this radius lies
        for (const auto& edges : show::ringBands)
            inside = std::max(inside, std::min(radius - edges[0], edges[1] - radius));
        const double body = smoothstep(0.0, edgeFade, inside);
        const double b = std::clamp(0.35 + band[static_cast<size_t>(y)], 0.0, 1.0);
        const double lane = std::exp(-0.5 * std::pow((v - 0.52) / 0.02, 2.0));
        for (int x = 0; x < width; ++x) {
            Colour c = mix(dust, ice, b * (0.9 + 0.1 * streaks.at(x, y)));
            c = mix(c, teal, 0.8 * lane);
            c = mix(edge, c, body);
            rgb.at(x, y, 0) = c.r;
            rgb.at(x, y, 1) = c.g;
            rgb.at(x, y, 2) = c.b;
            glow.at(x, y) = static_cast<float>(body * (0.7 * lane + 0.08 * smoothstep(0.7, 1.0, b)));
        }
    }
    return withGlow(rgb, glow);
}

} // namespace halcyra::tools
