#include "app/FrameCapture.h"

#include "app/ScreenFramebuffer.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "render/Engine.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace halcyra {
namespace {

void put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, static_cast<uint16_t>(value));
    put16(out, static_cast<uint16_t>(value >> 16));
}

} // namespace

FrameCapture::FrameCapture() {
    const DisplayConfig& config = DisplayConfig::instance();
    width = config.width;
    height = config.height;
    captureTexture = Engine::instance().createBlankTexture(width, height, GL_UNSIGNED_BYTE, true);
    captureTexture.flag = 0;
    captureTexture.target = GL_TEXTURE_2D;
    frameNumber = 0;
}

std::string FrameCapture::fileName(int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "frames/scr%05d.bmp", number);
    return name;
}

std::vector<uint8_t> FrameCapture::bmpHeaders(int32_t pictureWidth, int32_t pictureHeight) {
    const uint32_t pixelBytes =
        static_cast<uint32_t>(pictureWidth) * static_cast<uint32_t>(pictureHeight) * 3;
    std::vector<uint8_t> out;
    out.reserve(58);
    put16(out, 0x4D42);
    put32(out, 58 + pixelBytes);
    put16(out, 0);
    put16(out, 0);
    put32(out, 58);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(pictureWidth));
    put32(out, static_cast<uint32_t>(pictureHeight));
    put16(out, 1);
    put16(out, 24);
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    out.insert(out.end(), {1, 1, 1, 0});
    return out;
}

void FrameCapture::capture() {
    Engine& engine = Engine::instance();
    // Adaptive quality may have drawn this frame smaller: the frame is saved at the size it was drawn.
    const DisplayConfig& config = DisplayConfig::instance();
    if (config.width != width || config.height != height) {
        glDeleteTextures(1, &captureTexture.id);
        width = config.width;
        height = config.height;
        captureTexture = engine.createBlankTexture(width, height, GL_UNSIGNED_BYTE, true);
    }
    engine.setViewport(0, 0, engine.screenWidth, engine.screenHeight);
    bindScreenForReading();
    engine.copyScreenToTexture(captureTexture, 0, 0, width, height);
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                                                  DisplayConfig::instance().screenFramebuffer);

    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    // Texture rows run bottom-up, as BMP rows do; each pixel drops its alpha and turns to blue, green, red.
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0, j = 0; i < texels.size(); i += 4, j += 3) {
        pixels[j] = texels[i + 2];
        pixels[j + 1] = texels[i + 1];
        pixels[j + 2] = texels[i];
    }

    const std::vector<uint8_t> headers = bmpHeaders(width, height);
    const std::filesystem::path name = fileName(frameNumber);
    ++frameNumber;
    std::error_code ignored;
    std::filesystem::create_directories(name.parent_path(), ignored);
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) {
        showMessage("bmp:n avaus ei onnistu");
        return;
    }
    // Unbuffered, each part is its own write, so a failure is reported for the part that failed and not
    // for whichever later part happened to flush it.
    std::setvbuf(file, nullptr, _IONBF, 0);
    struct Part {
        const uint8_t* bytes;
        size_t size;
        const char* failure;
    };
    const Part parts[] = {{headers.data(), 14, "bitmapfileheaderin tallennus"},
                          {headers.data() + 14, 40, "BITMAPV5HEADERin tallennus"},
                          {headers.data() + 54, 4, "RGBQUADin tallennus"},
                          {pixels.data(), pixels.size(), "v\xC3\xA4ribittien tallennus"}};
    const char* failure = nullptr;
    for (const Part& part : parts) {
        if (std::fwrite(part.bytes, 1, part.size, file) != part.size) {
            failure = part.failure;
            break;
        }
    }
    if (std::fclose(file) != 0 && failure == nullptr)
        failure = "filun sulkeminen";
    if (failure != nullptr) {
        showMessage(failure);
        std::filesystem::remove(name, ignored);
    }
}

} // namespace halcyra
