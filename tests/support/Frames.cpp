#include "support/Frames.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

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

namespace {

double lumaOf(const uint8_t* rgb) {
    return 16.0 + (65.481 * rgb[0] + 128.553 * rgb[1] + 24.966 * rgb[2]) / 255.0;
}

} // namespace

Brightness brightness(const Frame& frame) {
    std::array<size_t, 256> histogram{};
    double sum = 0.0;
    const size_t pixels = frame.rgb.size() / 3;
    for (size_t i = 0; i < pixels; ++i) {
        const int y = static_cast<int>(std::lround(lumaOf(&frame.rgb[3 * i])));
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

Frame shrink(const Frame& frame, int factor) {
    Frame small;
    if (factor < 1 || frame.width % factor != 0 || frame.height % factor != 0 || frame.rgb.empty())
        return small;
    small.width = frame.width / factor;
    small.height = frame.height / factor;
    small.rgb.resize(static_cast<size_t>(small.width) * small.height * 3);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum +=
                            frame.rgb[(static_cast<size_t>(y * factor + dy) * frame.width + x * factor + dx) *
                                          3 +
                                      c];
                small.rgb[(static_cast<size_t>(y) * small.width + x) * 3 + c] =
                    static_cast<uint8_t>((sum + factor * factor / 2) / (factor * factor));
            }
    return small;
}

double structuralSimilarity(const Frame& a, const Frame& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size() || a.width < 8 ||
        a.height < 8)
        return 0.0;
    const auto luma = [](const Frame& frame, int x, int y) {
        return lumaOf(&frame.rgb[(static_cast<size_t>(y) * frame.width + x) * 3]);
    };
    // The constants of the measure for 8-bit levels: (0.01 × 255)² and (0.03 × 255)².
    const double c1 = 6.5025, c2 = 58.5225;
    double total = 0.0;
    int windows = 0;
    for (int y = 0; y + 8 <= a.height; y += 4)
        for (int x = 0; x + 8 <= a.width; x += 4) {
            double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
            for (int dy = 0; dy < 8; ++dy)
                for (int dx = 0; dx < 8; ++dx) {
                    const double va = luma(a, x + dx, y + dy), vb = luma(b, x + dx, y + dy);
                    sa += va;
                    sb += vb;
                    saa += va * va;
                    sbb += vb * vb;
                    sab += va * vb;
                }
            const double n = 64.0;
            const double ma = sa / n, mb = sb / n;
            const double va = saa / n - ma * ma, vb = sbb / n - mb * mb, cov = sab / n - ma * mb;
            total += (2 * ma * mb + c1) * (2 * cov + c2) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++windows;
        }
    return total / windows;
}

std::vector<std::string> mp4Boxes(const std::filesystem::path& file) {
    std::vector<std::string> boxes;
    std::ifstream in(file, std::ios::binary);
    in.seekg(0, std::ios::end);
    const uint64_t size = static_cast<uint64_t>(std::max<std::streamoff>(0, in.tellg()));
    uint64_t at = 0;
    while (in && at + 8 <= size) {
        in.seekg(static_cast<std::streamoff>(at));
        unsigned char head[16] = {};
        if (!in.read(reinterpret_cast<char*>(head), 8))
            break;
        uint64_t length =
            uint64_t{head[0]} << 24 | uint64_t{head[1]} << 16 | uint64_t{head[2]} << 8 | head[3];
        // A length of 1 means a 64-bit length follows the type.
        if (length == 1 && in.read(reinterpret_cast<char*>(head + 8), 8)) {
            length = 0;
            for (int i = 8; i < 16; ++i)
                length = length << 8 | head[i];
        }
        boxes.emplace_back(reinterpret_cast<const char*>(head + 4), 4);
        if (length < 8)
            break;
        at += length;
    }
    return boxes;
}

} // namespace halcyra::test
