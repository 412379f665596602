#include "ImageWriter.h"

#include "core/WholeFile.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace halcyra::tools {

std::vector<uint8_t> encodePng(const PngImage& image) {
    std::vector<uint8_t> bytes = encodePngImage(image);
    if (bytes.empty())
        throw std::runtime_error("a PNG picture cannot be encoded");
    return bytes;
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
    return writeWholeFile(path, bytes);
}

} // namespace halcyra::tools
