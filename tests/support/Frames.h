// Reading the program's captured frames back: RGB rows as libpng's simplified API delivers them (top row
// first), the brightness measures ffmpeg's signalstats reports (so a test's figures match the ones
// scripts/look prints), shrinking and comparing pictures, and the layout of a written video.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
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

// The frame shrunk by a whole `factor` in both directions, each pixel the mean of its factor × factor
// block (ffmpeg's area filter for whole factors); empty when the size is not a multiple of it.
Frame shrink(const Frame& frame, int factor);

// The structural similarity of the two frames' luma (1 for equal pictures), over 8 × 8 windows four pixels
// apart, as ffmpeg's ssim filter measures a plane; 0 when their sizes differ.
double structuralSimilarity(const Frame& a, const Frame& b);

// The top-level boxes of an MP4 file in their order ("ftyp", "moov", "mdat", …); empty when unreadable.
std::vector<std::string> mp4Boxes(const std::filesystem::path& file);

} // namespace halcyra::test
