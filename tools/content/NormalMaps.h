// Height fields into the two kinds of perturbation map the show's programs read: tangent-space normal
// maps (x along the texture's u, y along v, z out of the surface, each stored as 0.5 + 0.5 × component)
// and du/dv distortion maps (two offsets stored around 0.5). Rasters keep rows top first, so v runs
// upwards against the row order.
#pragma once

#include "Raster.h"

namespace halcyra::tools {

// RGB normal map of a one-channel height field; `strength` is the height of 1.0 in pixels.
Raster normalMapFromHeight(const Raster& height, double strength, Edge edge);

// RGB du/dv map: the height field's slope along u and v scaled so that the largest offset reaches
// `amplitude` (in 0 … 0.5) around 0.5; blue holds 0.5.
Raster distortionMapFromHeight(const Raster& height, double amplitude, Edge edge);

} // namespace halcyra::tools
