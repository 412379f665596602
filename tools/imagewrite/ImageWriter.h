// PNG and JPEG encoding with libpng and libjpeg, for the tools that make the show's pictures and for the
// tests that feed the decoders real files. Rows are given top row first, as the files store them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra::tools {

struct PngImage {
    int width = 0;
    int height = 0;
    int colorType = 2; // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int bitDepth = 8;
    std::vector<uint8_t> rows;         // height rows packed as PNG stores them (16-bit samples big-endian)
    std::vector<uint8_t> palette;      // RGB triples, for colour type 3
    std::vector<uint8_t> transparency; // tRNS chunk: palette alphas, or one grey/RGB key as 16-bit samples
    bool interlaced = false;
};

// An 8-bit RGB (3 channels) or RGBA (4 channels) image.
PngImage makePng(int width, int height, int channels, const std::vector<uint8_t>& pixelsTopFirst);

std::vector<uint8_t> encodePng(const PngImage& image);
std::vector<uint8_t> encodeJpeg(int width, int height, int components,
                                const std::vector<uint8_t>& pixelsTopFirst, int quality = 92,
                                bool progressive = false);

// A 24-bit (3 channels) or 32-bit (4 channels) TGA: type 2, or type 10 with `runLength` (runs of equal
// pixels become run packets, the rest raw packets; packets may cross rows). Pixels are R, G, B(, A) and
// rows are given bottom row first, the order TGA files store them in.
std::vector<uint8_t> encodeTga(int width, int height, int channels,
                               const std::vector<uint8_t>& pixelsBottomFirst, bool runLength);

// Writes bytes to a file; false when it cannot be written completely.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace halcyra::tools
