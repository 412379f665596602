// The credits' panels: what each says and where its front lies in the credits picture. The picture paints
// one full-width band per panel, top to bottom in mesh order, and keeps plain steel in the rows below them
// for the panels' edges and backs; the model maps each panel's front onto its band.
#pragma once

#include "MeshBuilder.h"

#include <string>
#include <vector>

namespace halcyra::tools {

struct CreditPanel {
    std::string label;   // small, above the heading; may be empty
    std::string heading; // the panel's main line
    std::string byline;  // small, beneath the heading; may be empty
    double width = 0.0;  // the front in world units; width / height is the band's aspect
    double height = 0.0;
    int bandTop = 0; // rows of the picture, top first
    int bandRows = 0;
};

constexpr int creditsPictureSize = 1024;

// In mesh order: the title, the group, then the roles.
const std::vector<CreditPanel>& creditPanels();

// The panel's front and the plain steel, as texture rectangles (v up, (u0, v0) at the lower left).
UvRect creditFrontUv(const CreditPanel& panel);
UvRect creditSteelUv();

} // namespace halcyra::tools
