// RenderTarget: an off-screen framebuffer with up to four colour textures and a depth buffer, or, in
// depth-texture mode, one depth texture that later serves as a shadow map (and no colour buffer). Binding one
// switches the viewport to its size; unbinding restores the viewport and returns to the screen framebuffer
// (targets do not nest). The Engine creates four of them at start-up; the post passes, the shadow pass and
// the scenes draw into them and sample their textures. An incomplete framebuffer ends the process.
#pragma once

#include "assets/Texture.h"

#include <cstdint>
#include <memory>

namespace halcyra {

class RenderTarget {
public:
    static constexpr int maxColors = 4;

    // Ends the process without GL_EXT_framebuffer_object; warns (and goes on) without GL_ARB_draw_buffers.
    static void checkSupport();
    // A new target; the screen framebuffer is bound afterwards. Colour counts outside 1 … 4 are refused
    // with a message (null result).
    static std::unique_ptr<RenderTarget> create(int width, int height, int colorCount, bool mipmaps,
                                                bool depthTexture, uint32_t internalFormat, uint32_t format,
                                                uint32_t type);
    ~RenderTarget();

    void bind();
    void unbind();
    // glDrawBuffer(buffer) while bound; nothing otherwise.
    void setDrawBuffer(uint32_t buffer);
    // Deletes the framebuffer, the renderbuffer and the textures.
    void destroy();

    uint32_t framebuffer = 0;
    uint32_t renderbuffer = 0; // the depth buffer; 0 in depth-texture mode
    int32_t colorCount = 0;
    int32_t width = 0;
    int32_t height = 0;
    TextureBinding textures[maxColors];
    bool bound = false;
    bool depthOnly = false; // depth-texture mode: draws to no colour buffer

private:
    RenderTarget() = default;
};

} // namespace halcyra
