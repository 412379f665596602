#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace halcyra::tools {

uint64_t Random::next() {
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

GradientNoise::GradientNoise(int periodX, int periodY, uint64_t seed)
    : px(periodX), py(periodY), gradients(static_cast<size_t>(periodX) * static_cast<size_t>(periodY) * 2) {
    // Sixteen fixed directions: a table, not trigonometry, so the lattice is the same everywhere.
    static const double directions[16][2] = {
        {1.0, 0.0},  {0.92388, 0.38268},   {0.70711, 0.70711},   {0.38268, 0.92388},
        {0.0, 1.0},  {-0.38268, 0.92388},  {-0.70711, 0.70711},  {-0.92388, 0.38268},
        {-1.0, 0.0}, {-0.92388, -0.38268}, {-0.70711, -0.70711}, {-0.38268, -0.92388},
        {0.0, -1.0}, {0.38268, -0.92388},  {0.70711, -0.70711},  {0.92388, -0.38268}};
    Random random(seed);
    for (size_t i = 0; i < gradients.size(); i += 2) {
        const int d = random.below(16);
        gradients[i] = directions[d][0];
        gradients[i + 1] = directions[d][1];
    }
}

double GradientNoise::at(double u, double v) const {
    const double fu = std::floor(u);
    const double fv = std::floor(v);
    const double tu = u - fu;
    const double tv = v - fv;
    const int iu = static_cast<int>(fu);
    const int iv = static_cast<int>(fv);
    auto corner = [&](int du, int dv) {
        const int cx = (((iu + du) % px) + px) % px;
        const int cy = (((iv + dv) % py) + py) % py;
        const size_t g = (static_cast<size_t>(cy) * static_cast<size_t>(px) + static_cast<size_t>(cx)) * 2;
        return gradients[g] * (tu - du) + gradients[g + 1] * (tv - dv);
    };
    auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };
    const double su = fade(tu);
    const double sv = fade(tv);
    const double top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * su;
    const double bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * su;
    return (top + (bottom - top) * sv) * 1.4142;
}

SolidNoise::SolidNoise(uint64_t seed) : permutation(512) {
    for (int i = 0; i < 256; ++i)
        permutation[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    Random random(seed);
    for (int i = 255; i > 0; --i)
        std::swap(permutation[static_cast<size_t>(i)], permutation[static_cast<size_t>(random.below(i + 1))]);
    for (size_t i = 0; i < 256; ++i)
        permutation[i + 256] = permutation[i];
}

double SolidNoise::at(double x, double y, double z) const {
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int ix = static_cast<int>(fx) & 255, iy = static_cast<int>(fy) & 255,
              iz = static_cast<int>(fz) & 255;
    const double tx = x - fx, ty = y - fy, tz = z - fz;
    // The twelve edge directions of a cube.
    auto gradient = [](int hash, double dx, double dy, double dz) {
        switch (hash % 12) {
        case 0:
            return dx + dy;
        case 1:
            return -dx + dy;
        case 2:
            return dx - dy;
        case 3:
            return -dx - dy;
        case 4:
            return dx + dz;
        case 5:
            return -dx + dz;
        case 6:
            return dx - dz;
        case 7:
            return -dx - dz;
        case 8:
            return dy + dz;
        case 9:
            return -dy + dz;
        case 10:
            return dy - dz;
        default:
            return -dy - dz;
        }
    };
    auto hash = [&](int cx, int cy, int cz) {
        return permutation[static_cast<size_t>(
            permutation[static_cast<size_t>(permutation[static_cast<size_t>(cx)] + cy)] + cz)];
    };
    auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };
    double corners[2][2][2];
    for (int dz = 0; dz < 2; ++dz)
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                corners[dz][dy][dx] = gradient(hash(ix + dx, iy + dy, iz + dz), tx - dx, ty - dy, tz - dz);
    const double u = fade(tx), v = fade(ty), w = fade(tz);
    auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    const double near =
        lerp(lerp(corners[0][0][0], corners[0][0][1], u), lerp(corners[0][1][0], corners[0][1][1], u), v);
    const double far =
        lerp(lerp(corners[1][0][0], corners[1][0][1], u), lerp(corners[1][1][0], corners[1][1][1], u), v);
    return lerp(near, far, w);
}

double SolidNoise::fractal(double x, double y, double z, int octaves, double persistence) const {
    double sum = 0.0;
    double amplitude = 1.0;
    double frequency = 1.0;
    for (int octave = 0; octave < octaves; ++octave) {
        // Each octave shifted, so that the lattices' zero points do not line up.
        sum += amplitude *
               at(x * frequency + 17.3 * octave, y * frequency - 5.1 * octave, z * frequency + 9.7 * octave);
        amplitude *= persistence;
        frequency *= 2.0;
    }
    return sum;
}

Raster fractalNoise(int width, int height, int cellsX, int cellsY, int octaves, double persistence,
                    uint64_t seed) {
    Raster plane(width, height, 1);
    double amplitude = 1.0;
    for (int octave = 0; octave < octaves; ++octave) {
        const int nx = cellsX << octave;
        const int ny = cellsY << octave;
        const GradientNoise noise(nx, ny, seed + static_cast<uint64_t>(octave) * 7919u);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double u = (x + 0.5) * nx / width;
                const double v = (y + 0.5) * ny / height;
                plane.at(x, y) += static_cast<float>(amplitude * noise.at(u, v));
            }
        }
        amplitude *= persistence;
    }
    return plane;
}

void normalise(Raster& plane, double mean, double deviation) {
    const std::vector<float>& values = plane.values();
    double sum = 0.0;
    double squares = 0.0;
    for (float v : values) {
        sum += v;
        squares += static_cast<double>(v) * v;
    }
    const double n = static_cast<double>(values.size());
    const double currentMean = sum / n;
    const double currentDeviation = std::sqrt(std::max(1e-12, squares / n - currentMean * currentMean));
    for (float& v : plane.values())
        v = static_cast<float>(mean + (v - currentMean) * deviation / currentDeviation);
}

} // namespace halcyra::tools
