#include "ImageWriter.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace halcyra::tools {
namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

[[noreturn]] void pngFailure(png_structp, png_const_charp message) {
    throw std::runtime_error(message);
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

std::vector<uint8_t> encodePng(const PngImage& image) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFailure, nullptr);
    png_infop info = png_create_info_struct(png);
    try {
        png_set_write_fn(png, &out, appendBytes, noFlush);
        // Fixed compression settings so that the same picture always gives the same bytes.
        png_set_compression_level(png, 9);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                     image.bitDepth, image.colorType,
                     image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        std::vector<png_color> palette;
        for (size_t i = 0; i + 2 < image.palette.size(); i += 3)
            palette.push_back(png_color{image.palette[i], image.palette[i + 1], image.palette[i + 2]});
        if (!palette.empty())
            png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (!image.transparency.empty()) {
            if (image.colorType == PNG_COLOR_TYPE_PALETTE) {
                png_set_tRNS(png, info, image.transparency.data(),
                             static_cast<int>(image.transparency.size()), nullptr);
            } else {
                png_color_16 key{};
                auto sample = [&](size_t i) {
                    return static_cast<png_uint_16>(image.transparency[2 * i] << 8 |
                                                    image.transparency[2 * i + 1]);
                };
                if (image.colorType == PNG_COLOR_TYPE_GRAY) {
                    key.gray = sample(0);
                } else {
                    key.red = sample(0);
                    key.green = sample(1);
                    key.blue = sample(2);
                }
                png_set_tRNS(png, info, nullptr, 0, &key);
            }
        }
        png_write_info(png, info);
        const size_t rowSize = image.rows.size() / static_cast<size_t>(image.height);
        std::vector<png_bytep> rows(static_cast<size_t>(image.height));
        for (int y = 0; y < image.height; ++y)
            rows[static_cast<size_t>(y)] = const_cast<png_bytep>(image.rows.data()) + rowSize * y;
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    } catch (const std::exception&) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> encodeJpeg(int width, int height, int components,
                                const std::vector<uint8_t>& pixelsTopFirst, int quality, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const size_t rowSize = static_cast<size_t>(width) * components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixelsTopFirst.data()) + rowSize * info.next_scanline;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

std::vector<uint8_t> encodeTga(int width, int height, int channels,
                               const std::vector<uint8_t>& pixelsBottomFirst, bool runLength) {
    const size_t b = static_cast<size_t>(channels);
    std::vector<uint8_t> out(18, 0);
    out[2] = runLength ? 10 : 2;
    out[12] = static_cast<uint8_t>(width);
    out[13] = static_cast<uint8_t>(width >> 8);
    out[14] = static_cast<uint8_t>(height);
    out[15] = static_cast<uint8_t>(height >> 8);
    out[16] = static_cast<uint8_t>(8 * channels);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    auto pixel = [&](size_t i) { return pixelsBottomFirst.data() + i * b; };
    auto same = [&](size_t i, size_t j) { return std::equal(pixel(i), pixel(i) + b, pixel(j)); };
    auto append = [&](size_t i) {
        const uint8_t* p = pixel(i);
        out.insert(out.end(), {p[2], p[1], p[0]});
        if (b == 4)
            out.push_back(p[3]);
    };
    if (!runLength) {
        for (size_t i = 0; i < count; ++i)
            append(i);
        return out;
    }
    for (size_t i = 0; i < count;) {
        size_t run = 1;
        while (run < 128 && i + run < count && same(i, i + run))
            ++run;
        if (run > 1) {
            out.push_back(static_cast<uint8_t>(127 + run));
            append(i);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (raw < 128 && i + raw < count && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(static_cast<uint8_t>(raw - 1));
        for (size_t k = 0; k < raw; ++k)
            append(i + k);
        i += raw;
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace halcyra::tools
