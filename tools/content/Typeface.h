// Typeface: one font face of the machine (found through fontconfig, drawn with FreeType) that sets a line
// of text for the production's wordmarks: anti-aliased, positioned to a 64th of a pixel, with tracking,
// the font's kerning, optional optical spacing that evens out the gaps between letters, a horizontal
// squeeze and a stroke weight offset. A family the machine lacks is an error that names the family and the
// package that brings it; nothing is fetched.
#pragma once

#include "Raster.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace halcyra::tools {

struct TextStyle {
    double size = 32.0;          // em size in pixels
    double tracking = 0.0;       // extra space after every letter but the last, in em
    double squeeze = 1.0;        // horizontal scale of the letters and their spacing
    double weight = 0.0;         // change of stroke thickness in pixels; negative makes strokes thinner
    double opticalSpacing = 0.0; // 0 … 1: how far each pair moves towards an even optical gap
};

struct PlacedGlyph {
    unsigned index = 0; // glyph index in the face
    double x = 0.0;     // pen position relative to the line's origin, in pixels
};

// A laid-out line; ink bounds are relative to the origin on the baseline, y upwards.
struct TextLine {
    std::vector<PlacedGlyph> glyphs;
    double advance = 0.0;
    double inkLeft = 0.0;
    double inkRight = 0.0;
    double inkTop = 0.0;
    double inkBottom = 0.0;

    double inkWidth() const { return inkRight - inkLeft; }
};

class Typeface {
public:
    // family as fontconfig names it ("Liberation Sans"), style such as "Regular" or "Bold".
    Typeface(const std::string& family, const std::string& style);
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    TextLine layout(std::string_view text, const TextStyle& style) const;

    // Unites the line's coverage with a one-channel raster; the origin (x, baseline) is in raster
    // coordinates (pixel edges at whole numbers, y downwards).
    void draw(Raster& coverage, const TextLine& line, const TextStyle& style, double x,
              double baseline) const;

    // Lays out and draws `text` with the centre of its ink at x and its baseline at `baseline`.
    TextLine drawCentred(Raster& coverage, std::string_view text, const TextStyle& style, double x,
                         double baseline) const;

    const std::string& file() const { return path; }

private:
    struct Faces;
    std::unique_ptr<Faces> faces;
    std::string path;
};

} // namespace halcyra::tools
