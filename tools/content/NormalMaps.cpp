#include "NormalMaps.h"

#include <algorithm>
#include <cmath>

namespace halcyra::tools {
namespace {

// Slopes along u (to the right) and v (up, against the row order), by central differences.
void slopes(const Raster& height, int x, int y, Edge edge, double& du, double& dv) {
    du = 0.5 * (height.atEdge(x + 1, y, 0, edge) - height.atEdge(x - 1, y, 0, edge));
    dv = 0.5 * (height.atEdge(x, y - 1, 0, edge) - height.atEdge(x, y + 1, 0, edge));
}

} // namespace

Raster normalMapFromHeight(const Raster& height, double strength, Edge edge) {
    Raster normals(height.width(), height.height(), 3);
    for (int y = 0; y < height.height(); ++y) {
        for (int x = 0; x < height.width(); ++x) {
            double du = 0.0;
            double dv = 0.0;
            slopes(height, x, y, edge, du, dv);
            const double nx = -du * strength;
            const double ny = -dv * strength;
            const double length = std::sqrt(nx * nx + ny * ny + 1.0);
            normals.at(x, y, 0) = static_cast<float>(0.5 + 0.5 * nx / length);
            normals.at(x, y, 1) = static_cast<float>(0.5 + 0.5 * ny / length);
            normals.at(x, y, 2) = static_cast<float>(0.5 + 0.5 / length);
        }
    }
    return normals;
}

Raster distortionMapFromHeight(const Raster& height, double amplitude, Edge edge) {
    Raster offsets(height.width(), height.height(), 3, 0.5f);
    double largest = 1e-9;
    for (int y = 0; y < height.height(); ++y) {
        for (int x = 0; x < height.width(); ++x) {
            double du = 0.0;
            double dv = 0.0;
            slopes(height, x, y, edge, du, dv);
            largest = std::max({largest, std::abs(du), std::abs(dv)});
        }
    }
    const double scale = amplitude / largest;
    for (int y = 0; y < height.height(); ++y) {
        for (int x = 0; x < height.width(); ++x) {
            double du = 0.0;
            double dv = 0.0;
            slopes(height, x, y, edge, du, dv);
            offsets.at(x, y, 0) = static_cast<float>(0.5 + du * scale);
            offsets.at(x, y, 1) = static_cast<float>(0.5 + dv * scale);
        }
    }
    return offsets;
}

} // namespace halcyra::tools
