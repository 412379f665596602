// Texture: one decoded image, owned by the TextureManager once added; TextureBinding: its GL side, the
// 16-byte record that the engine and the scenes copy by value. A binding id of 9999 means that no GL object
// has been made yet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

struct TextureBinding {
    static constexpr uint32_t noObject = 9999;

    uint32_t id = noObject;
    uint8_t flag = 0;
    int32_t value = 0;
    uint32_t target = 0;
};
static_assert(sizeof(TextureBinding) == 16, "TextureBinding is a 16-byte record");

struct Texture {
    explicit Texture(std::string textureName) : name(std::move(textureName)) {}

    std::string name;
    // height rows of width × bitsPerPixel / 8 bytes, back to back; empty when decoding failed, and
    // released once the picture is in its GL object.
    std::vector<uint8_t> pixels;
    int32_t bitsPerPixel = 0; // 24 or 32
    int32_t width = 0;
    int32_t height = 0;
    uint32_t format = 0; // GL_RGB or GL_RGBA
    TextureBinding binding;
};

} // namespace halcyra
