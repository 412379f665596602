#include "render/Engine.h"

#include "assets/Texture.h"
#include "support/GlTestContext.h"
#include "support/MessageLog.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

Texture makeTexture(int channels) {
    Texture texture("t");
    texture.width = 2;
    texture.height = 2;
    texture.bitsPerPixel = 8 * channels;
    texture.format = channels == 4 ? GL_RGBA : GL_RGB;
    texture.pixels.assign(static_cast<size_t>(4 * channels), 0);
    for (int i = 0; i < 4; ++i)
        texture.pixels[static_cast<size_t>(i * channels)] = static_cast<uint8_t>(50 * (i + 1));
    return texture;
}

GLint levelParameter(GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

TEST(UploadTexture, FirstCallCreatesOneObjectAndLaterCallsHandItOut) {
    test::GlTestContext context;
    test::GlTestContext::loadShowPacket();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    Engine& engine = Engine::instance();
    Texture texture = makeTexture(3);
    const std::vector<uint8_t> picture = texture.pixels;
    const TextureBinding first = engine.uploadTexture(texture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    EXPECT_EQ(texture.pixels.capacity(), 0u) << "the decoded copy goes once the GL object holds the picture";
    EXPECT_EQ(texture.width, 2);
    EXPECT_EQ(texture.bitsPerPixel, 24);
    glBindTexture(GL_TEXTURE_2D, 0);
    const TextureBinding second = engine.uploadTexture(texture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    EXPECT_NE(first.id, TextureBinding::noObject);
    EXPECT_EQ(first.id, second.id);
    EXPECT_EQ(first.target, static_cast<uint32_t>(GL_TEXTURE_2D));
    EXPECT_EQ(first.flag, 0);
    EXPECT_EQ(first.value, 0);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "a later call changes no GL state";

    glBindTexture(GL_TEXTURE_2D, first.id);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 2);
    std::vector<uint8_t> back(12);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, picture);
    GLint coarsest = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &coarsest);
    EXPECT_EQ(coarsest, 1) << "the mipmap chain is built";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(UploadTexture, ThirtyTwoBitTextureKeepsItsAlpha) {
    test::GlTestContext context;
    test::GlTestContext::loadShowPacket();
    Texture texture = makeTexture(4);
    texture.pixels[3] = 77;
    const TextureBinding binding =
        Engine::instance().uploadTexture(texture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, binding.id);
    EXPECT_GT(levelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
    std::vector<uint8_t> back(16);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back[3], 77);
}

TEST(UploadTexture, UndecodedTextureBecomesAMagentaStandInWithOneMessage) {
    test::GlTestContext context;
    test::GlTestContext::loadShowPacket();
    Texture broken("broken.png");
    test::MessageLog log;
    const TextureBinding binding =
        Engine::instance().uploadTexture(broken, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    Engine::instance().uploadTexture(broken, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_NE(log.messages()[0].text.find("broken.png"), std::string::npos);
    glBindTexture(GL_TEXTURE_2D, binding.id);
    uint8_t back[3] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back);
    EXPECT_EQ(back[0], 255);
    EXPECT_EQ(back[1], 0);
    EXPECT_EQ(back[2], 255);
}

} // namespace
} // namespace halcyra
