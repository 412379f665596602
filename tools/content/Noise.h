// Deterministic randomness for the content generator: a seeded 64-bit generator and gradient noise that
// repeats over a whole number of lattice cells, so that pictures made from it tile without a seam. The
// same seed gives the same numbers on every run.
#pragma once

#include "Raster.h"

#include <cstdint>
#include <vector>

namespace halcyra::tools {

// SplitMix64: small, fast and well mixed; every picture draws from its own fixed seed.
class Random {
public:
    explicit Random(uint64_t seed) : state(seed) {}

    uint64_t next();
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double low, double high) { return low + (high - low) * uniform(); }
    // Uniform integer in [0, count).
    int below(int count) { return static_cast<int>(next() % static_cast<uint64_t>(count)); }

private:
    uint64_t state;
};

// Gradient noise on a lattice of periodX × periodY cells that wraps around; values about −1 … 1.
class GradientNoise {
public:
    GradientNoise(int periodX, int periodY, uint64_t seed);

    // u and v in lattice cells; the pattern repeats every periodX cells in u and periodY in v.
    double at(double u, double v) const;

private:
    int px;
    int py;
    std::vector<double> gradients; // (gx, gy) per lattice point
};

// Gradient noise in three dimensions, for patterns laid on curved surfaces (a sphere samples it at its
// points, so nothing pinches at the poles or meets at a seam); values about −1 … 1.
class SolidNoise {
public:
    explicit SolidNoise(uint64_t seed);

    double at(double x, double y, double z) const;
    // `octaves` layers, each at twice the frequency and `persistence` times the amplitude of the last.
    double fractal(double x, double y, double z, int octaves, double persistence) const;

private:
    std::vector<uint8_t> permutation; // 256 entries, twice over
};

// Sum of `octaves` layers of gradient noise over a width × height picture that tiles: the first layer
// has cellsX × cellsY cells, each further layer twice as many and `persistence` times the amplitude.
Raster fractalNoise(int width, int height, int cellsX, int cellsY, int octaves, double persistence,
                    uint64_t seed);

// Shifts and scales one channel to the given mean and standard deviation.
void normalise(Raster& plane, double mean, double deviation);

} // namespace halcyra::tools
