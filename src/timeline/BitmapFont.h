// BitmapFont: short lines of text drawn into the GL frame as glyph bitmaps, one display list per character
// code 32 to 127, rasterised with FreeType from the face file its caller names (the loading screen, its
// only user, takes the bold monospace face the platform layer found). A face that cannot be read gives
// empty lists: text then draws nothing.
#pragma once

#include <cstdint>
#include <string>

namespace halcyra {

struct Rgba {
    float r, g, b, a;
};

class BitmapFont {
public:
    // Builds the 96 lists for glyphs `height` pixels high from the face in `fontFile`.
    void create(const std::string& fontFile, int height);
    // Sets the colour, then the raster position (x, y) in the current projection's units, so that the
    // position takes the colour; then draws the formatted text (at most 255 characters; longer text is cut).
    // A null format draws nothing.
    void print(int x, int y, Rgba color, const char* format, ...) __attribute__((format(printf, 5, 6)));
    void destroy();

    uint32_t listBase = 0;
};

} // namespace halcyra
