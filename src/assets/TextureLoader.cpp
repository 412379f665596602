#include "assets/TextureLoader.h"

#include "assets/Texture.h"
#include "core/Message.h"
#include "core/Platform.h"

#include <GL/gl.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace halcyra {
namespace {

// Bytes of an image, read front to back like a stream.
struct ByteSource {
    const uint8_t* data;
    size_t size;
    size_t position = 0;

    size_t remaining() const { return size - position; }
    bool read(void* destination, size_t count) {
        if (count > remaining())
            return false;
        std::memcpy(destination, data + position, count);
        position += count;
        return true;
    }
};

// Leaves the texture as every failed decode does: no pixels, size 0.
void clearImage(Texture& texture) {
    texture.pixels.clear();
    texture.pixels.shrink_to_fit();
    texture.width = 0;
    texture.height = 0;
    texture.bitsPerPixel = 0;
    texture.format = 0;
}

bool failImage(Texture& texture, const std::string& text, const char* caption = "ERROR") {
    clearImage(texture);
    showMessage(text, caption);
    return false;
}

// Sizes the pixel buffer; false when the memory is not there (a large picture under a memory limit), so
// that the reader reports it instead of ending the process.
bool resizePixels(Texture& texture, size_t size) {
    try {
        texture.pixels.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Turns rows stored top row first into the bottom-first order every reader hands out.
void flipRows(std::vector<uint8_t>& pixels, size_t rowSize, size_t rowCount) {
    for (size_t top = 0, bottom = rowCount - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(top * rowSize),
                         pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowSize),
                         pixels.begin() + static_cast<std::ptrdiff_t>(bottom * rowSize));
}

// ---- TGA ------------------------------------------------------------------------------------------------

bool readTga(ByteSource& in, Texture& texture) {
    static const uint8_t uncompressedHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    static const uint8_t compressedHeader[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    uint8_t header[12];
    if (!in.read(header, sizeof header))
        return failImage(texture, "Could not read file header");
    const bool uncompressed = std::memcmp(header, uncompressedHeader, sizeof header) == 0;
    const bool compressed = std::memcmp(header, compressedHeader, sizeof header) == 0;
    if (!uncompressed && !compressed)
        return failImage(texture, "TGA file be type 2 or type 10 ", "Invalid Image");

    uint8_t info[6];
    if (!in.read(info, sizeof info))
        return failImage(texture, "Could not read info header");
    const int32_t width = info[0] | (info[1] << 8);
    const int32_t height = info[2] | (info[3] << 8);
    const int32_t bits = info[4];
    // Bit 5 of the image descriptor: the first stored row is the top of the picture.
    const bool topRowFirst = (info[5] & 0x20) != 0;
    if (width == 0 || height == 0 || (bits != 24 && bits != 32))
        return failImage(texture, "Invalid texture information");

    const size_t bytesPerPixel = static_cast<size_t>(bits / 8);
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t imageSize = pixelCount * bytesPerPixel;
    // A size the file cannot hold is refused before the pixels are allocated: uncompressed data must be
    // there in full, and a run-length packet of 1 + bytesPerPixel bytes yields at most 128 pixels.
    if (width > maxImageSide || height > maxImageSide)
        return failImage(texture, "Could not allocate memory for image");
    if (uncompressed && in.remaining() < imageSize)
        return failImage(texture, "Could not read image data");
    if (compressed && pixelCount > (in.remaining() / (1 + bytesPerPixel) + 1) * 128)
        return failImage(texture, "Could not read RLE header");

    texture.width = width;
    texture.height = height;
    texture.bitsPerPixel = bits;
    texture.format = bits == 24 ? GL_RGB : GL_RGBA;
    if (!resizePixels(texture, imageSize))
        return failImage(texture, "Could not allocate memory for image");
    uint8_t* pixels = texture.pixels.data();
    const size_t rowSize = static_cast<size_t>(width) * bytesPerPixel;

    if (uncompressed) {
        in.read(pixels, imageSize);
        for (size_t i = 0; i < imageSize; i += bytesPerPixel)
            std::swap(pixels[i], pixels[i + 2]);
        if (topRowFirst)
            flipRows(texture.pixels, rowSize, static_cast<size_t>(height));
        return true;
    }

    size_t counter = 0;
    uint8_t stored[4] = {};
    auto writePixel = [&]() {
        if (counter == pixelCount)
            return false;
        uint8_t* out = pixels + counter * bytesPerPixel;
        out[0] = stored[2];
        out[1] = stored[1];
        out[2] = stored[0];
        if (bytesPerPixel == 4)
            out[3] = stored[3];
        ++counter;
        return true;
    };
    while (counter < pixelCount) {
        uint8_t packet = 0;
        if (!in.read(&packet, 1))
            return failImage(texture, "Could not read RLE header");
        if (packet < 128) {
            for (int i = 0; i <= packet; ++i) {
                if (!in.read(stored, bytesPerPixel))
                    return failImage(texture, "Could not read image data");
                if (!writePixel())
                    return failImage(texture, "Too many pixels read");
            }
        } else {
            if (!in.read(stored, bytesPerPixel))
                return failImage(texture, "Could not read from file");
            for (int i = 0; i < packet - 127; ++i)
                if (!writePixel())
                    return failImage(texture, "Too many pixels read");
        }
    }
    if (topRowFirst)
        flipRows(texture.pixels, rowSize, static_cast<size_t>(height));
    return true;
}

// ---- JPEG -----------------------------------------------------------------------------------------------

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char reason[JMSG_LENGTH_MAX];
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    info->err->format_message(info, failure->reason);
    std::longjmp(failure->jump, 1);
}

// What libjpeg may hold besides the picture itself: enough for progressive files up to about 6,000 pixels
// a side in full colour resolution.
constexpr long maxJpegWorkingMemory = 256L * 1024 * 1024;

// Warnings mean damaged data (libjpeg would go on with grey rows); the decode stops instead.
void jpegEmitMessage(j_common_ptr info, int level) {
    if (level < 0)
        jpegErrorExit(info);
}

// Returns false with the reason in `failure` when libjpeg gives up. Only trivially destructible locals
// live in this frame, so the jump back into it skips no destructor.
bool decodeJpegRows(ByteSource& in, Texture& texture, JpegFailure& failure, jpeg_decompress_struct& info) {
    if (setjmp(failure.jump) != 0)
        return false;
    jpeg_create_decompress(&info);
    // A progressive file keeps every coefficient of the picture until its last scan; a small file that
    // declares a large one must not take gigabytes for that. Beyond the budget libjpeg stops with an error.
    info.mem->max_memory_to_use = maxJpegWorkingMemory;
    jpeg_mem_src(&info, in.data, static_cast<unsigned long>(in.size));
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        std::snprintf(failure.reason, sizeof failure.reason, "CMYK images are not supported");
        return false;
    }
    if (info.image_width > static_cast<JDIMENSION>(maxImageSide) ||
        info.image_height > static_cast<JDIMENSION>(maxImageSide)) {
        std::snprintf(failure.reason, sizeof failure.reason, "%ux%u is larger than %d pixels a side",
                      info.image_width, info.image_height, maxImageSide);
        return false;
    }
    // Grey files are widened to RGB so that the pixels always match the GL_RGB upload.
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const size_t rowSize = static_cast<size_t>(info.output_width) * info.output_components;
    // The bytes cannot bound the size (arithmetic coding packs a flat picture into almost nothing), so
    // rows take memory as they are decoded: a damaged file that declares a large picture and ends early
    // only ever takes the rows it held, and a picture larger than the memory there is reported.
    while (info.output_scanline < info.output_height) {
        if (!resizePixels(texture, rowSize * (info.output_scanline + 1))) {
            std::snprintf(failure.reason, sizeof failure.reason, "not enough memory for %ux%u pixels",
                          info.output_width, info.output_height);
            return false;
        }
        JSAMPROW row = texture.pixels.data() + rowSize * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    texture.width = static_cast<int32_t>(info.output_width);
    texture.height = static_cast<int32_t>(info.output_height);
    texture.bitsPerPixel = 8 * info.output_components;
    texture.format = GL_RGB;
    jpeg_finish_decompress(&info);
    return true;
}

bool readJpeg(ByteSource& in, Texture& texture) {
    JpegFailure failure{};
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpegErrorExit;
    failure.manager.emit_message = jpegEmitMessage;
    const bool decoded = decodeJpegRows(in, texture, failure, info);
    jpeg_destroy_decompress(&info);
    if (!decoded)
        return failImage(texture, std::string("Could not decode JPEG image: ") + failure.reason);
    return true;
}

// ---- PNG ------------------------------------------------------------------------------------------------

struct PngFailure {
    char reason[256];
};

constexpr size_t maxDeflateRatio = 1032;
// The most memory libpng may take for one chunk that is not image data, its decompressed text or colour
// profile included; a texture never carries one of megabytes.
constexpr png_alloc_size_t maxAncillaryChunk = 8'000'000;

// libpng reads a chunk that is not image data whole, allocating the length it declares before it finds
// the file too short for it, so a file of a few bytes could ask for two gigabytes. Such a chunk, before
// the image data or after it, is refused first: its reason, or an empty string when every chunk fits.
std::string oversizedChunk(const ByteSource& in) {
    size_t at = in.position;
    while (in.size - at >= 8) {
        const uint8_t* header = in.data + at;
        const uint32_t length = static_cast<uint32_t>(header[0]) << 24 |
                                static_cast<uint32_t>(header[1]) << 16 |
                                static_cast<uint32_t>(header[2]) << 8 | header[3];
        const std::string type(reinterpret_cast<const char*>(header + 4), 4);
        const size_t left = in.size - at - 8;
        if (type == "IEND")
            return {};
        // Image data is read in small pieces; a cut-short stream is libpng's to report.
        if (length > left && type != "IDAT") {
            std::string printable;
            for (char c : type)
                printable += std::isalpha(static_cast<unsigned char>(c)) ? c : '?';
            return "a " + printable + " chunk declares " + std::to_string(length) + " bytes but only " +
                   std::to_string(left) + " are left";
        }
        at += 8 + static_cast<size_t>(length) + 4;
        if (at > in.size)
            return {};
    }
    return {};
}

[[noreturn]] void pngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->reason, sizeof failure->reason, "%s", message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void pngRead(png_structp png, png_bytep destination, png_size_t count) {
    auto* in = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (!in->read(destination, count))
        png_error(png, "the file ends inside the image");
}

bool decodePngRows(png_structp png, png_infop info, const ByteSource& in, Texture& texture,
                   std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, maxImageSide, maxImageSide);
    png_set_chunk_malloc_max(png, maxAncillaryChunk);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    // Deflate packs at most 1032 bytes into one, so rows (each with its filter byte) that need more than
    // that from what is left of the file cannot be real; they are refused before the pixels are allocated.
    const size_t storedRows = static_cast<size_t>(height) * (png_get_rowbytes(png, info) + 1);
    if (storedRows / maxDeflateRatio > in.remaining()) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "%ux%u needs more image data than the file holds",
                      static_cast<unsigned>(width), static_cast<unsigned>(height));
        png_error(png, reason);
    }
    // Every colour type and depth comes out as 8-bit RGB or RGBA: palettes and low-depth grey expand,
    // transparency becomes alpha, 16-bit channels scale to 8, grey becomes RGB.
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (depth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    const size_t rowSize = png_get_rowbytes(png, info);
    if ((channels != 3 && channels != 4) || rowSize != static_cast<size_t>(channels) * width)
        png_error(png, "unexpected pixel layout");
    if (!resizePixels(texture, rowSize * height))
        png_error(png, "not enough memory for the pixels");
    rows.resize(height);
    for (png_uint_32 i = 0; i < height; ++i)
        rows[i] = texture.pixels.data() + (height - 1 - i) * rowSize;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);

    texture.width = static_cast<int32_t>(width);
    texture.height = static_cast<int32_t>(height);
    texture.bitsPerPixel = 8 * channels;
    texture.format = channels == 4 ? GL_RGBA : GL_RGB;
    return true;
}

bool readPng(ByteSource& in, Texture& texture) {
    if (in.remaining() < 8 || png_sig_cmp(in.data + in.position, 0, 8) != 0) {
        clearImage(texture);
        return false;
    }
    in.position += 8;
    if (const std::string reason = oversizedChunk(in); !reason.empty())
        return failImage(texture, "Could not decode PNG image: " + reason);
    PngFailure failure{};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, pngError, pngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        clearImage(texture);
        return false;
    }
    png_set_read_fn(png, &in, pngRead);
    std::vector<png_bytep> rows;
    const bool decoded = decodePngRows(png, info, in, texture, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decoded)
        return failImage(texture, std::string("Could not decode PNG image: ") + failure.reason);
    return true;
}

void decode(ByteSource& in, Texture& texture, int kind) {
    switch (static_cast<ImageKind>(kind)) {
    case ImageKind::Tga:
        readTga(in, texture);
        break;
    case ImageKind::Jpeg:
        readJpeg(in, texture);
        break;
    case ImageKind::Png:
        readPng(in, texture);
        break;
    default:
        clearImage(texture);
        break;
    }
}

} // namespace

void TextureLoader::decodeMemory(Texture& texture, const uint8_t* bytes, size_t length, int kind) {
    texture.binding.id = TextureBinding::noObject;
    ByteSource in{bytes, bytes != nullptr ? length : 0};
    decode(in, texture, kind);
}

void TextureLoader::decodeFile(const char* path, Texture& texture, int kind) {
    std::FILE* file = std::fopen(dataFilePath(path).c_str(), "rb");
    std::vector<uint8_t> bytes;
    bool readable = file != nullptr;
    if (readable) {
        uint8_t chunk[65536];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        readable = std::ferror(file) == 0;
        std::fclose(file);
    }
    if (!readable) {
        clearImage(texture);
        showMessage("texloaderror", "err");
        if (kind == static_cast<int>(ImageKind::Tga))
            showMessage("Could not open texture file", "ERROR");
        return;
    }
    decodeMemory(texture, bytes.data(), bytes.size(), kind);
}

} // namespace halcyra
