#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace halcyra::tools {
namespace {

int edgeIndex(int i, int size, Edge edge) {
    if (edge == Edge::Wrap)
        return ((i % size) + size) % size;
    return std::clamp(i, 0, size - 1);
}

// An 8 × 8 ordered-dither threshold per pixel, offset per channel. Unlike random dither its pattern
// repeats, which keeps the PNG encoder fast and the files small, and it tiles with any picture whose
// sides are multiples of 8.
double ditherThreshold(int x, int y, int channel) {
    static const uint8_t bayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    return (bayer[(y + 3 * channel) & 7][(x + 5 * channel) & 7] + 0.5) / 64.0;
}

} // namespace

Raster::Raster(int width, int height, int channels, float fill)
    : w(width), h(height), c(channels),
      data(static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels), fill) {}

float Raster::atEdge(int x, int y, int channel, Edge edge) const {
    return at(edgeIndex(x, w, edge), edgeIndex(y, h, edge), channel);
}

float Raster::sample(double x, double y, int channel, Edge edge) const {
    const double fx = x - 0.5;
    const double fy = y - 0.5;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = static_cast<float>(fx - x0);
    const float ty = static_cast<float>(fy - y0);
    const float top = atEdge(x0, y0, channel, edge) * (1.0f - tx) + atEdge(x0 + 1, y0, channel, edge) * tx;
    const float bottom =
        atEdge(x0, y0 + 1, channel, edge) * (1.0f - tx) + atEdge(x0 + 1, y0 + 1, channel, edge) * tx;
    return top * (1.0f - ty) + bottom * ty;
}

Raster Raster::channel(int channel) const {
    Raster plane(w, h, 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            plane.at(x, y) = at(x, y, channel);
    return plane;
}

void Raster::setChannel(int channel, const Raster& plane) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            at(x, y, channel) = plane.at(x, y);
}

void Raster::boxPass(int radius, bool horizontal, Edge edge) {
    const int length = horizontal ? w : h;
    const int lines = horizontal ? h : w;
    std::vector<double> sums(static_cast<size_t>(length + 2 * radius + 1));
    const double scale = 1.0 / (2 * radius + 1);
    for (int line = 0; line < lines; ++line) {
        for (int ch = 0; ch < c; ++ch) {
            sums[0] = 0.0;
            for (int i = 0; i < length + 2 * radius; ++i) {
                const int p = edgeIndex(i - radius, length, edge);
                sums[static_cast<size_t>(i) + 1] =
                    sums[static_cast<size_t>(i)] + (horizontal ? at(p, line, ch) : at(line, p, ch));
            }
            for (int i = 0; i < length; ++i) {
                const double mean =
                    (sums[static_cast<size_t>(i + 2 * radius + 1)] - sums[static_cast<size_t>(i)]) * scale;
                (horizontal ? at(i, line, ch) : at(line, i, ch)) = static_cast<float>(mean);
            }
        }
    }
}

void Raster::blur(double sigmaX, double sigmaY, Edge edgeX, Edge edgeY) {
    for (const bool horizontal : {true, false}) {
        const double sigma = horizontal ? sigmaX : sigmaY;
        const Edge edge = horizontal ? edgeX : edgeY;
        if (sigma < 0.2)
            continue;
        if (sigma < 2.0) {
            // Small radii: an exact Gaussian kernel; boxes would round them away.
            const int radius = static_cast<int>(std::ceil(sigma * 3.0));
            std::vector<double> kernel(static_cast<size_t>(2 * radius + 1));
            double total = 0.0;
            for (int k = -radius; k <= radius; ++k)
                total += kernel[static_cast<size_t>(k + radius)] = std::exp(-0.5 * k * k / (sigma * sigma));
            const Raster source = *this;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    for (int ch = 0; ch < c; ++ch) {
                        double sum = 0.0;
                        for (int k = -radius; k <= radius; ++k) {
                            const float v = horizontal ? source.atEdge(x + k, y, ch, edge)
                                                       : source.atEdge(x, y + k, ch, edge);
                            sum += kernel[static_cast<size_t>(k + radius)] * v;
                        }
                        at(x, y, ch) = static_cast<float>(sum / total);
                    }
                }
            }
            continue;
        }
        // Three box passes whose combined variance equals sigma².
        const double ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
        int lower = static_cast<int>(std::floor(ideal));
        if (lower % 2 == 0)
            --lower;
        const int upper = lower + 2;
        const double m =
            (12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) / (-4.0 * lower - 4.0);
        const int lowerCount = static_cast<int>(std::lround(m));
        for (int pass = 0; pass < 3; ++pass)
            boxPass(((pass < lowerCount ? lower : upper) - 1) / 2, horizontal, edge);
    }
}

std::vector<uint8_t> Raster::quantise(bool dither) const {
    std::vector<uint8_t> bytes(data.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int ch = 0; ch < c; ++ch) {
                // floor(v × 255 + d) with d in (0, 1): unbiased on average, and 0 and 1 stay 0 and 255.
                const double v = std::clamp(static_cast<double>(at(x, y, ch)), 0.0, 1.0);
                const double q = std::floor(v * 255.0 + (dither ? ditherThreshold(x, y, ch) : 0.5));
                bytes[index(x, y) + ch] = static_cast<uint8_t>(std::min(255.0, q));
            }
        }
    }
    return bytes;
}

Raster greyToRgb(const Raster& grey) {
    Raster rgb(grey.width(), grey.height(), 3);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            for (int ch = 0; ch < 3; ++ch)
                rgb.at(x, y, ch) = grey.at(x, y);
    return rgb;
}

} // namespace halcyra::tools
