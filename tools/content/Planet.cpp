// The planet's two maps, 1024 × 512 over longitude and latitude as the planet's sphere lays them out (u once
// around from +x, v from the south pole to the north). Continents, ridges and ice come from solid noise
// sampled on the sphere itself, so nothing stretches at the poles or breaks where u wraps. A dark ocean
// world in the production's palette: deep blue-black seas, steel-grey land, thin teal shallows, pale ice.
#include "Noise.h"
#include "Paint.h"
#include "Pictures.h"
#include "ShowLayout.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

namespace halcyra::tools {
namespace {

constexpr int width = 1024;
constexpr int height = 512;
constexpr double seaLevel = 0.06;

struct Surface {
    Raster land;   // height above sea level in noise units; negative under the sea
    Raster ridges; // 0 … 1 on mountain chains
    Raster ice;    // 0 … 1
    Raster detail; // fine albedo variation about 0
};

double latitudeOf(int y) {
    return (0.5 - (y + 0.5) / height) * pi;
}

Surface makeSurface() {
    Surface s{Raster(width, height, 1), Raster(width, height, 1), Raster(width, height, 1),
              Raster(width, height, 1)};
    const SolidNoise continents(0x5eed0800u);
    const SolidNoise mountains(0x5eed0801u);
    const SolidNoise fine(0x5eed0802u);
    for (int y = 0; y < height; ++y) {
        const double latitude = latitudeOf(y);
        for (int x = 0; x < width; ++x) {
            const double phi = 2.0 * pi * (x + 0.5) / width;
            const double px = std::cos(latitude) * std::cos(phi);
            const double py = std::sin(latitude);
            const double pz = -std::cos(latitude) * std::sin(phi);
            const double land = continents.fractal(1.4 * px, 1.4 * py, 1.4 * pz, 6, 0.5) - seaLevel;
            const double ridged = 1.0 - std::abs(mountains.fractal(5.0 * px, 5.0 * py, 5.0 * pz, 4, 0.45));
            const double onLand = smoothstep(0.0, 0.12, land);
            s.land.at(x, y) = static_cast<float>(land);
            s.ridges.at(x, y) = static_cast<float>(onLand * std::pow(std::max(0.0, ridged), 6.0));
            const double polar = std::abs(latitude) / (pi / 2);
            const double iceEdge = 0.72 + 0.08 * fine.fractal(3.0 * px, 3.0 * py, 3.0 * pz, 3, 0.5);
            s.ice.at(x, y) = static_cast<float>(smoothstep(iceEdge - 0.03, iceEdge + 0.03, polar));
            s.detail.at(x, y) = static_cast<float>(fine.fractal(24.0 * px, 24.0 * py, 24.0 * pz, 3, 0.55));
        }
    }
    return s;
}

const Surface& surface() {
    static std::once_flag made;
    static std::unique_ptr<Surface> made_surface;
    std::call_once(made, [] { made_surface = std::make_unique<Surface>(makeSurface()); });
    return *made_surface;
}

// Relief in world units on the planet's sphere; exaggerated, since only the normal map shows it.
double reliefAt(const Surface& s, int x, int y) {
    x = ((x % width) + width) % width;
    y = std::clamp(y, 0, height - 1);
    // Land rises gently from the shore: no cliff where the sea ends.
    const double land = std::max(0.0, static_cast<double>(s.land.at(x, y)));
    const double shore = smoothstep(0.0, 0.04, land);
    return shore * (0.3 + 0.05 * s.detail.at(x, y)) + 2.0 * land + 1.2 * s.ridges.at(x, y) +
           0.2 * s.ice.at(x, y);
}

} // namespace

Raster planetTexture() {
    const Surface& s = surface();
    // The light is strong: deep seas stay near black, land is dark slate, ice comes out bright.
    const Colour deep{0.006f, 0.022f, 0.05f};
    const Colour shallow{0.016f, 0.09f, 0.13f};
    const Colour coast{0.05f, 0.3f, 0.36f};
    // The scene's light is warm (its green and blue flicker below its red): land and ice lean cool.
    const Colour lowland{0.03f, 0.06f, 0.08f};
    const Colour highland{0.09f, 0.13f, 0.16f};
    const Colour ice{0.36f, 0.42f, 0.46f};
    Raster rgb(width, height, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double land = s.land.at(x, y);
            const double detail = s.detail.at(x, y);
            Colour c;
            if (land < 0.0) {
                c = mix(shallow, deep, smoothstep(0.0, 0.22, -land));
                c = mix(c, coast, 0.7 * std::exp(-std::pow(land / 0.012, 2.0)));
            } else {
                c = mix(lowland, highland,
                        std::clamp(smoothstep(0.0, 0.4, land) + 0.6 * s.ridges.at(x, y), 0.0, 1.0));
                c = scaled(c, 1.0 + 0.25 * detail);
            }
            c = mix(c, scaled(ice, 1.0 + 0.08 * detail), s.ice.at(x, y));
            rgb.at(x, y, 0) = c.r;
            rgb.at(x, y, 1) = c.g;
            rgb.at(x, y, 2) = c.b;
        }
    }
    return rgb;
}

Raster planetNormalMap() {
    const Surface& s = surface();
    // Alpha 0 everywhere: the whole world wears an atmosphere (see the lit-surface program).
    Raster rgb(width, height, 4);
    const double radius = show::planetRadius;
    for (int y = 0; y < height; ++y) {
        // World length of one pixel along u (shrinking towards the poles) and along v.
        const double alongU = std::max(0.02, std::cos(latitudeOf(y))) * 2.0 * pi * radius / width;
        const double alongV = pi * radius / height;
        for (int x = 0; x < width; ++x) {
            const double du = (reliefAt(s, x + 1, y) - reliefAt(s, x - 1, y)) / (2.0 * alongU);
            const double dv = (reliefAt(s, x, y - 1) - reliefAt(s, x, y + 1)) / (2.0 * alongV);
            const double length = std::sqrt(du * du + dv * dv + 1.0);
            rgb.at(x, y, 0) = static_cast<float>(0.5 - 0.5 * du / length);
            rgb.at(x, y, 1) = static_cast<float>(0.5 - 0.5 * dv / length);
            rgb.at(x, y, 2) = static_cast<float>(0.5 + 0.5 / length);
            rgb.at(x, y, 3) = 0.0f;
        }
    }
    return rgb;
}

} // namespace halcyra::tools
