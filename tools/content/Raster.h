// Raster: a floating-point picture (one to four channels, values 0 … 1, rows top first) that the content
// generator paints into, filters and finally quantises into the 8-bit rows the image encoders take.
// Filters either wrap around the edges (for pictures that tile) or clamp at them; quantisation keeps 0
// and 1 exact and dithers, where asked, with a fixed pattern, so a picture always gives the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace halcyra::tools {

enum class Edge { Clamp, Wrap };

class Raster {
public:
    Raster() = default;
    Raster(int width, int height, int channels, float fill = 0.0f);

    int width() const { return w; }
    int height() const { return h; }
    int channels() const { return c; }

    float& at(int x, int y, int channel = 0) { return data[index(x, y) + channel]; }
    float at(int x, int y, int channel = 0) const { return data[index(x, y) + channel]; }
    // A channel at any integer position, wrapped or clamped into the picture.
    float atEdge(int x, int y, int channel, Edge edge) const;
    // Bilinear sample at a position in pixels (pixel centres at +0.5).
    float sample(double x, double y, int channel, Edge edge) const;

    std::vector<float>& values() { return data; }
    const std::vector<float>& values() const { return data; }

    // One channel as a picture of its own, and the way back.
    Raster channel(int channel) const;
    void setChannel(int channel, const Raster& plane);

    // Gaussian-like blur (three box passes per axis) with the given standard deviations in pixels.
    void blur(double sigmaX, double sigmaY, Edge edge) { blur(sigmaX, sigmaY, edge, edge); }
    void blur(double sigmaX, double sigmaY, Edge edgeX, Edge edgeY);

    // 8-bit rows, top row first, with `c` channels interleaved: rounded, or with an ordered dither that
    // hides banding in slow dark gradients (at the cost of slower PNG compression).
    std::vector<uint8_t> quantise(bool dither = false) const;

private:
    size_t index(int x, int y) const {
        return (static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * c;
    }
    void boxPass(int radius, bool horizontal, Edge edge);

    int w = 0;
    int h = 0;
    int c = 0;
    std::vector<float> data;
};

// A Raster of three channels where every pixel is `grey`.
Raster greyToRgb(const Raster& grey);

} // namespace halcyra::tools
