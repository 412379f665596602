// An Engine on a real headless context, built from the show's data packet, for the render tests.
#pragma once

#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace halcyra::test {

class EngineTest : public testing::Test {
protected:
    EngineTest() {
        GlTestContext::loadShowPacket();
        engine = &Engine::instance();
    }
    ~EngineTest() override { Engine::destroy(); }

    // Level 0 of a texture as RGBA floats, rows bottom-up.
    static std::vector<float> readTexture(const TextureBinding& binding) {
        glBindTexture(GL_TEXTURE_2D, binding.id);
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        std::vector<float> texels(static_cast<size_t>(width) * height * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
        return texels;
    }

    static GLint internalFormat(const TextureBinding& binding) {
        glBindTexture(GL_TEXTURE_2D, binding.id);
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        return format;
    }

    // Clears one colour attachment of a target to a colour.
    static void fill(RenderTarget& target, int attachment, float r, float g, float b, float a = 1.0f) {
        target.bind();
        target.setDrawBuffer(GL_COLOR_ATTACHMENT0_EXT + attachment);
        glClearColor(r, g, b, a);
        glClear(GL_COLOR_BUFFER_BIT);
        target.unbind();
    }

    GlTestContext context;
    Engine* engine = nullptr;
};

} // namespace halcyra::test
