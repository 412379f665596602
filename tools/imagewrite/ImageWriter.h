// PNG, JPEG and TGA encoding, for the tools that make the show's pictures and for the tests that feed the
// decoders real files. Rows are given top row first, as the files store them (TGA: bottom first).
#pragma once

#include "assets/PngWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra::tools {

// PNG files come from the program's own writer (assets/PngWriter.h), at the smallest size; a picture that
// cannot be encoded is an error (std::runtime_error) here, where a tool cannot go on without it.
using halcyra::makePng;
using halcyra::PngImage;
std::vector<uint8_t> encodePng(const PngImage& image);
std::vector<uint8_t> encodeJpeg(int width, int height, int components,
                                const std::vector<uint8_t>& pixelsTopFirst, int quality = 92,
                                bool progressive = false);

// A 24-bit (3 channels) or 32-bit (4 channels) TGA: type 2, or type 10 with `runLength` (runs of equal
// pixels become run packets, the rest raw packets; packets may cross rows). Pixels are R, G, B(, A) and
// rows are given bottom row first, the order TGA files store them in.
std::vector<uint8_t> encodeTga(int width, int height, int channels,
                               const std::vector<uint8_t>& pixelsBottomFirst, bool runLength);

// Writes bytes to a file, whole or not at all; false when it cannot be written completely.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace halcyra::tools
