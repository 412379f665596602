// Reading the program's captured frames back: RGB rows as libpng's simplified API delivers them (top row
// first), and the brightness measures ffmpeg's signalstats reports, so a test's figures match the ones
// scripts/look prints.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace halcyra::test {

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // empty when the file could not be read
};

Frame readFrame(const std::filesystem::path& file);

// Luma on the 16–235 scale of BT.601 video, as ffmpeg converts an RGB picture for signalstats: the mean
// and the 10th and 90th percentiles (the lowest level that at least that share of the pixels reaches).
struct Brightness {
    double mean = 0.0;
    int low = 0;
    int high = 0;
};

Brightness brightness(const Frame& frame);

} // namespace halcyra::test
