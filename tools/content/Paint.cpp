#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace halcyra::tools {

Colour mix(Colour a, Colour b, double t) {
    const auto f = static_cast<float>(t);
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
}

Colour scaled(Colour c, double factor) {
    const auto f = static_cast<float>(factor);
    return {c.r * f, c.g * f, c.b * f};
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

void fill(Raster& rgb, Colour colour) {
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            rgb.at(x, y, 0) = colour.r;
            rgb.at(x, y, 1) = colour.g;
            rgb.at(x, y, 2) = colour.b;
        }
    }
}

void fillRectangle(Raster& coverage, double x0, double y0, double x1, double y1, float value) {
    const int left = std::max(0, static_cast<int>(std::floor(x0)));
    const int right = std::min(coverage.width(), static_cast<int>(std::ceil(x1)));
    const int top = std::max(0, static_cast<int>(std::floor(y0)));
    const int bottom = std::min(coverage.height(), static_cast<int>(std::ceil(y1)));
    for (int y = top; y < bottom; ++y) {
        const double cy = std::min(y + 1.0, y1) - std::max(static_cast<double>(y), y0);
        for (int x = left; x < right; ++x) {
            const double cx = std::min(x + 1.0, x1) - std::max(static_cast<double>(x), x0);
            const auto a = static_cast<float>(std::clamp(cx * cy, 0.0, 1.0)) * value;
            float& d = coverage.at(x, y);
            d = d + a - d * a;
        }
    }
}

void strokeRectangle(Raster& coverage, double x0, double y0, double x1, double y1, double thickness) {
    fillRectangle(coverage, x0, y0, x1, y0 + thickness);
    fillRectangle(coverage, x0, y1 - thickness, x1, y1);
    fillRectangle(coverage, x0, y0 + thickness, x0 + thickness, y1 - thickness);
    fillRectangle(coverage, x1 - thickness, y0 + thickness, x1, y1 - thickness);
}

void composite(Raster& rgb, const Raster& coverage, Colour colour, double opacity) {
    const float channels[3] = {colour.r, colour.g, colour.b};
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const auto a = static_cast<float>(coverage.at(x, y) * opacity);
            for (int c = 0; c < 3; ++c)
                rgb.at(x, y, c) += (channels[c] - rgb.at(x, y, c)) * a;
        }
    }
}

void addGlow(Raster& rgb, const Raster& coverage, Colour colour, double sigmaX, double sigmaY,
             double strength, Edge edge) {
    Raster glow = coverage;
    glow.blur(sigmaX, sigmaY, edge);
    const float channels[3] = {colour.r, colour.g, colour.b};
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const auto a = static_cast<float>(glow.at(x, y) * strength);
            for (int c = 0; c < 3; ++c) {
                float& d = rgb.at(x, y, c);
                const float s = std::clamp(channels[c] * a, 0.0f, 1.0f);
                d = d + s - d * s;
            }
        }
    }
}

Raster withGlow(const Raster& rgb, const Raster& glow) {
    Raster rgba(rgb.width(), rgb.height(), 4);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            for (int c = 0; c < 3; ++c)
                rgba.at(x, y, c) = rgb.at(x, y, c);
            rgba.at(x, y, 3) = 1.0f - std::clamp(glow.at(x, y), 0.0f, 1.0f);
        }
    }
    return rgba;
}

} // namespace halcyra::tools
