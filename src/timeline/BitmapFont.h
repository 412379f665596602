// BitmapFont: short lines of text drawn into the GL frame as glyph bitmaps, one display list per character
// code 32 to 127, rasterised with FreeType from a bold monospace face the machine has (Liberation Mono, or
// any bold monospace fontconfig offers). The loading screen is its only user.
#pragma once

#include <cstdint>

namespace halcyra {

struct Rgba {
    float r, g, b, a;
};

class BitmapFont {
public:
    // Builds the 96 lists for glyphs `height` pixels high.
    void create(int height);
    // Sets the colour, then the raster position (x, y) in the current projection's units, so that the
    // position takes the colour; then draws the formatted text (at most 255 characters; longer text is cut).
    // A null format draws nothing.
    void print(int x, int y, Rgba color, const char* format, ...) __attribute__((format(printf, 5, 6)));
    void destroy();

    uint32_t listBase = 0;
};

} // namespace halcyra
