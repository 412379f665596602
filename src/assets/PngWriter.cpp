#include "assets/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <functional>

namespace halcyra {
namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

// Runs libpng on one picture: `header` sets the IHDR and what goes with it, `rows` writes the rows. libpng
// reports failures by a jump back here; the bytes are then dropped.
std::vector<uint8_t> encode(int level, const std::function<void(png_structp, png_infop)>& header,
                            const std::function<void(png_structp, png_infop)>& rows) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_compression_level(png, level);
    if (level <= 1) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_compression_strategy(png, 3); // Z_RLE
    }
    header(png, info);
    png_write_info(png, info);
    rows(png, info);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

PngImage makePng(int width, int height, int channels, const std::vector<uint8_t>& pixelsTopFirst) {
    PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    image.rows = pixelsTopFirst;
    return image;
}

std::vector<uint8_t> encodePngImage(const PngImage& image, int level) {
    if (image.width <= 0 || image.height <= 0 || image.rows.empty())
        return {};
    const auto header = [&](png_structp png, png_infop info) {
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                     image.bitDepth, image.colorType,
                     image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        std::vector<png_color> palette;
        for (size_t i = 0; i + 2 < image.palette.size(); i += 3)
            palette.push_back(png_color{image.palette[i], image.palette[i + 1], image.palette[i + 2]});
        if (!palette.empty())
            png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (image.transparency.empty())
            return;
        if (image.colorType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, image.transparency.data(), static_cast<int>(image.transparency.size()),
                         nullptr);
            return;
        }
        png_color_16 key{};
        auto sample = [&](size_t i) {
            return static_cast<png_uint_16>(image.transparency[2 * i] << 8 | image.transparency[2 * i + 1]);
        };
        if (image.colorType == PNG_COLOR_TYPE_GRAY) {
            key.gray = sample(0);
        } else {
            key.red = sample(0);
            key.green = sample(1);
            key.blue = sample(2);
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    };
    const auto rows = [&](png_structp png, png_infop) {
        const size_t rowSize = image.rows.size() / static_cast<size_t>(image.height);
        std::vector<png_bytep> pointers(static_cast<size_t>(image.height));
        for (int y = 0; y < image.height; ++y)
            pointers[static_cast<size_t>(y)] = const_cast<png_bytep>(image.rows.data()) + rowSize * y;
        png_write_image(png, pointers.data());
    };
    return encode(level, header, rows);
}

std::vector<uint8_t> encodePngFrame(int width, int height, const uint8_t* bgraBottomUp, int level) {
    const auto header = [&](png_structp png, png_infop info) {
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
    };
    const auto rows = [&](png_structp png, png_infop) {
        // The rows come as B, G, R, A from the bottom up; libpng drops A and swaps to R, G, B as it writes.
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        const size_t stride = static_cast<size_t>(width) * 4;
        for (int y = height - 1; y >= 0; --y)
            png_write_row(png, const_cast<png_bytep>(bgraBottomUp + static_cast<size_t>(y) * stride));
    };
    return encode(level, header, rows);
}

} // namespace halcyra
