// PngWriter: PNG encoding with libpng, for the offline capture's frames and contact sheets and for the
// tools that make the show's pictures (and the tests that feed the decoders real files). The same picture
// and settings always give the same bytes. A failure gives no bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace halcyra {

struct PngImage {
    int width = 0;
    int height = 0;
    int colorType = 2; // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int bitDepth = 8;
    std::vector<uint8_t> rows;    // height rows, top first, packed as PNG stores them (16-bit big-endian)
    std::vector<uint8_t> palette; // RGB triples, for colour type 3
    std::vector<uint8_t> transparency; // tRNS chunk: palette alphas, or one grey/RGB key as 16-bit samples
    bool interlaced = false;
};

// An 8-bit RGB (3 channels) or RGBA (4 channels) image, rows top first.
PngImage makePng(int width, int height, int channels, const std::vector<uint8_t>& pixelsTopFirst);

// At zlib `level` (9 the smallest); a level of 1 or less also takes the Up filter and run-length matching,
// about 40 % larger than level 9 and many times faster.
std::vector<uint8_t> encodePngImage(const PngImage& image, int level = 9);

// A frame as GL reads it back (BGRA rows, bottom row first), written as RGB top row first without a copy.
std::vector<uint8_t> encodePngFrame(int width, int height, const uint8_t* bgraBottomUp, int level);

} // namespace halcyra
