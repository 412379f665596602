// The surface pictures: film-grain noise, water maps and the studio environment.
#include "Noise.h"
#include "NormalMaps.h"
#include "Paint.h"
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace halcyra::tools {
namespace {

constexpr double pi = std::numbers::pi;

// A sum of plane waves whose wave numbers are whole cycles per tile, so the field repeats exactly.
// Directions gather around `heading` (radians); amplitude falls with wave number as on open water.
Raster waveField(int size, int waves, double heading, double spread, double minCycles, double maxCycles,
                 double falloff, uint64_t seed) {
    Raster height(size, size, 1);
    Random random(seed);
    std::vector<double> sinX(static_cast<size_t>(size)), cosX(sinX.size()), sinY(sinX.size()),
        cosY(sinX.size());
    for (int n = 0; n < waves; ++n) {
        const double cycles = minCycles + (maxCycles - minCycles) * std::pow(random.uniform(), 1.7);
        const double angle = heading + spread * (random.uniform() + random.uniform() - 1.0);
        const int kx = static_cast<int>(std::lround(cycles * std::cos(angle)));
        const int ky = static_cast<int>(std::lround(cycles * std::sin(angle)));
        const double phase = random.range(0.0, 2.0 * pi);
        if (kx == 0 && ky == 0)
            continue;
        const double amplitude = std::pow(std::hypot(kx, ky), -falloff);
        for (int i = 0; i < size; ++i) {
            const double a = 2.0 * pi * kx * i / size + phase;
            const double b = 2.0 * pi * ky * i / size;
            sinX[static_cast<size_t>(i)] = std::sin(a);
            cosX[static_cast<size_t>(i)] = std::cos(a);
            sinY[static_cast<size_t>(i)] = std::sin(b);
            cosY[static_cast<size_t>(i)] = std::cos(b);
        }
        // sin(a + b) from per-column and per-row tables: one multiply-add per pixel and wave.
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const double s = sinX[static_cast<size_t>(x)] * cosY[static_cast<size_t>(y)] +
                                 cosX[static_cast<size_t>(x)] * sinY[static_cast<size_t>(y)];
                height.at(x, y) += static_cast<float>(amplitude * s);
            }
        }
    }
    return height;
}

// Water heights: wind-driven swell with sharpened crests and fine capillary ripples, about −1 … 1.
Raster waterHeight() {
    constexpr int size = 512;
    Raster height = waveField(size, 64, 0.45, 1.5, 3.0, 40.0, 1.15, 0x5eed0001u);
    normalise(height, 0.0, 0.35);
    // Crests sharper than troughs, as real waves are.
    for (float& h : height.values())
        h = h - 0.35f * (h * h - 0.1225f);
    Raster ripples = fractalNoise(size, size, 24, 24, 2, 0.5, 0x5eed0002u);
    normalise(ripples, 0.0, 0.012);
    for (size_t i = 0; i < height.values().size(); ++i)
        height.values()[i] += ripples.values()[i];
    return height;
}

} // namespace

Raster noiseTexture() {
    constexpr int size = 256;
    // Seven octaves from 64-pixel clouds down to single-pixel grain.
    Raster grey = fractalNoise(size, size, 4, 4, 7, 0.85, 0x5eed0100u);
    normalise(grey, 0.56, 0.15);
    return greyToRgb(grey);
}

Raster waterNormalMap() {
    return normalMapFromHeight(waterHeight(), 9.0, Edge::Wrap);
}

Raster waterDistortionMap() {
    // A slower, broader field than the normals, so the distortion swims rather than shimmers.
    Raster height = waveField(256, 24, 2.2, 1.6, 2.0, 12.0, 0.9, 0x5eed0003u);
    return distortionMapFromHeight(height, 0.42, Edge::Wrap);
}

Raster environmentMap() {
    // A mirror ball seen from the front: the centre reflects what lies behind the viewer, the rim what
    // lies behind the ball. World y is up; the viewer looks along −z.
    constexpr int size = 512;
    const Colour floor{0.006f, 0.008f, 0.014f};
    const Colour horizon{0.06f, 0.08f, 0.10f};
    const Colour sky{0.012f, 0.02f, 0.035f};
    const Colour white{0.96f, 0.98f, 1.0f};
    const Colour teal{0.2f, 0.88f, 0.98f};

    struct Vector {
        double x, y, z;
    };
    auto normalised = [](Vector v) {
        const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        return Vector{v.x / l, v.y / l, v.z / l};
    };
    auto cross = [](Vector a, Vector b) {
        return Vector{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    auto dot = [](Vector a, Vector b) { return a.x * b.x + a.y * b.y + a.z * b.z; };

    // Rectangular lights by direction, half extents (radians) and edge softness, with their frames.
    struct Light {
        Vector centre, right, up;
        double halfWidth, halfHeight, softness, intensity;
        Colour colour;
    };
    auto light = [&](Vector direction, double halfWidth, double halfHeight, double softness, Colour colour,
                     double intensity) {
        const Vector c = normalised(direction);
        const Vector right = normalised(cross(std::abs(c.y) > 0.9 ? Vector{0, 0, 1} : Vector{0, 1, 0}, c));
        return Light{c, right, cross(c, right), halfWidth, halfHeight, softness, intensity, colour};
    };
    const Light lights[] = {
        light({-0.62, 0.42, 0.66}, 0.34, 0.24, 0.10, white, 1.0),                 // key softbox, left
        light({0.78, 0.18, 0.50}, 0.22, 0.30, 0.12, white, 0.85),                 // fill softbox, right
        light({0.05, 0.97, 0.15}, 0.80, 0.07, 0.06, white, 1.0),                  // overhead strip
        light({-0.45, 0.08, -0.89}, 0.10, 0.40, 0.10, teal, 0.85),                // teal rim, behind left
        light({0.55, 0.30, -0.78}, 0.16, 0.12, 0.12, mix(white, teal, 0.3), 0.7), // kicker, behind right
        light({0.0, -0.35, 0.94}, 0.5, 0.05, 0.05, white, 0.9)};                  // floor strip, in front

    Raster rgb(size, size, 3);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double sx = (px + 0.5) / (size * 0.5) - 1.0;
            double sy = 1.0 - (py + 0.5) / (size * 0.5);
            // Outside the ball the rim carries on, so filtering never pulls in black.
            const double r = std::hypot(sx, sy);
            if (r > 0.995) {
                sx *= 0.995 / r;
                sy *= 0.995 / r;
            }
            const double nz = std::sqrt(std::max(0.0, 1.0 - sx * sx - sy * sy));
            const Vector d{2.0 * nz * sx, 2.0 * nz * sy, 2.0 * nz * nz - 1.0};
            Colour c = d.y < 0.0 ? mix(horizon, floor, smoothstep(0.0, 0.35, -d.y))
                                 : mix(horizon, sky, smoothstep(0.0, 0.6, d.y));
            for (const Light& l : lights) {
                const double facing = dot(d, l.centre);
                if (facing <= 0.0)
                    continue;
                // Angles in the light's own frame, so the panels keep their shape.
                const double a = std::atan2(dot(d, l.right), facing);
                const double b = std::atan2(dot(d, l.up), facing);
                const double inside = smoothstep(l.halfWidth + l.softness, l.halfWidth, std::abs(a)) *
                                      smoothstep(l.halfHeight + l.softness, l.halfHeight, std::abs(b));
                // Softboxes are brightest in the middle and fall off towards their frames.
                const double centre = 1.0 - 0.25 * (a * a / (l.halfWidth * l.halfWidth) +
                                                    b * b / (l.halfHeight * l.halfHeight));
                c = mix(c, l.colour, inside * std::clamp(centre, 0.55, 1.0) * l.intensity);
                // Their cores burn white: the surfaces that mirror them read this as a light source.
                const double core = inside * smoothstep(0.75, 0.95, centre) * l.intensity;
                c = mix(c, Colour{1.0f, 1.0f, 1.0f}, core);
            }
            rgb.at(px, py, 0) = c.r;
            rgb.at(px, py, 1) = c.g;
            rgb.at(px, py, 2) = c.b;
        }
    }
    rgb.blur(4.0, 4.0, Edge::Clamp);
    return rgb;
}

} // namespace halcyra::tools
