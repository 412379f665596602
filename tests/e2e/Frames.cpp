#include "Frames.h"

#include <png.h>

#include <array>
#include <cmath>

namespace halcyra::test {

Frame readFrame(const std::filesystem::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Frame frame;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return frame;
    image.format = PNG_FORMAT_RGB;
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr)) {
        frame.rgb.clear();
        return frame;
    }
    frame.width = static_cast<int>(image.width);
    frame.height = static_cast<int>(image.height);
    return frame;
}

Brightness brightness(const Frame& frame) {
    std::array<size_t, 256> histogram{};
    double sum = 0.0;
    const size_t pixels = frame.rgb.size() / 3;
    for (size_t i = 0; i < pixels; ++i) {
        const double r = frame.rgb[3 * i], g = frame.rgb[3 * i + 1], b = frame.rgb[3 * i + 2];
        const int y = static_cast<int>(std::lround(16.0 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0));
        ++histogram[static_cast<size_t>(y)];
        sum += y;
    }
    Brightness result;
    if (pixels == 0)
        return result;
    result.mean = sum / static_cast<double>(pixels);
    const auto percentile = [&](double share) {
        size_t seen = 0;
        for (int level = 0; level < 256; ++level) {
            seen += histogram[static_cast<size_t>(level)];
            if (static_cast<double>(seen) >= share * static_cast<double>(pixels))
                return level;
        }
        return 255;
    };
    result.low = percentile(0.1);
    result.high = percentile(0.9);
    return result;
}

} // namespace halcyra::test
