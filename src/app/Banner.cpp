#include "app/Banner.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace halcyra {

// A dark blue-black gradient with a soft teal horizon glow.
BannerPicture bannerPicture() {
    constexpr int width = 512;
    constexpr int height = 232;
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> rgb(width * height * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double v = static_cast<double>(y) / (height - 1);
                const double u = (x - width * 0.5) / (width * 0.5);
                const double glow = std::exp(-std::pow((v - 0.62) * 9.0, 2.0)) * (1.0 - 0.6 * u * u);
                const double r = 4 + 10 * v + 20 * glow;
                const double g = 8 + 14 * v + 120 * glow;
                const double b = 16 + 26 * v + 150 * glow;
                uint8_t* p = &rgb[(y * width + x) * 3];
                p[0] = static_cast<uint8_t>(std::clamp(r, 0.0, 255.0));
                p[1] = static_cast<uint8_t>(std::clamp(g, 0.0, 255.0));
                p[2] = static_cast<uint8_t>(std::clamp(b, 0.0, 255.0));
            }
        }
        return rgb;
    }();
    return BannerPicture{width, height, pixels.data()};
}

} // namespace halcyra
