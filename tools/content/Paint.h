// Painting helpers shared by the pictures: colours, anti-aliased rectangles and lines with exact pixel
// coverage, compositing a coverage mask in a colour, and glows made from blurred coverage.
#pragma once

#include "Raster.h"

namespace halcyra::tools {

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Colour mix(Colour a, Colour b, double t);
Colour scaled(Colour c, double factor);
double smoothstep(double edge0, double edge1, double x);

// Sets every pixel of an RGB raster.
void fill(Raster& rgb, Colour colour);
// Unites an axis-aligned rectangle (pixel edges at whole numbers, partial pixels covered in part) with a
// one-channel coverage raster.
void fillRectangle(Raster& coverage, double x0, double y0, double x1, double y1, float value = 1.0f);
// The outline of a rectangle, `thickness` pixels wide, inside the rectangle's edges.
void strokeRectangle(Raster& coverage, double x0, double y0, double x1, double y1, double thickness);
// Paints `colour` over an RGB raster wherever `coverage` is set, scaled by `opacity`.
void composite(Raster& rgb, const Raster& coverage, Colour colour, double opacity = 1.0);
// Adds a soft glow of the coverage in `colour` (screen blend), blurred by the given deviations.
void addGlow(Raster& rgb, const Raster& coverage, Colour colour, double sigmaX, double sigmaY,
             double strength, Edge edge = Edge::Clamp);
// The RGB picture with an alpha channel that marks what shines by itself, as the lit-surface program reads
// it: alpha 1 − glow, so 1 where the surface only reflects light and 0 where it glows at full strength.
Raster withGlow(const Raster& rgb, const Raster& glow);

} // namespace halcyra::tools
