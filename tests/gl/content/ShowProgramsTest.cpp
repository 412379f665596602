#include "assets/ShaderManager.h"

#include "core/GlExtensions.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

// Every program key the Engine and the scenes look up.
const char* const showPrograms[] = {"blur",         "bumpmap",     "depthblur",   "drawtex", "envmap",
                                    "glow_combine", "hdr_convert", "hdr_tonemap", "mask",    "mirror",
                                    "mixtwo",       "phong",       "phongnotex",  "simple",  "simple2",
                                    "static",       "water",       "water_filter"};

TEST(ShowPrograms, EveryKeyIsInThePacketAndCompilesAndLinks) {
    test::GlTestContext context;
    test::GlTestContext::loadShowPacket();
    ShaderManager& shaders = ShaderManager::instance();
    for (const char* key : showPrograms) {
        ShaderProgram* program = shaders.find(key);
        ASSERT_NE(program, nullptr) << key;
        shaders.build(program);
        EXPECT_TRUE(program->built) << key;
        shaders.release(program);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

struct Uniforms {
    const char* key;
    std::vector<const char*> names;
};

// The uniforms each pass sets must survive the GLSL compiler, or the setters silently skip them.
TEST(ShowPrograms, ScenePassesFindTheirUniforms) {
    test::GlTestContext context;
    test::GlTestContext::loadShowPacket();
    ShaderManager& shaders = ShaderManager::instance();
    const Uniforms expected[] = {
        {"bumpmap",
         {"tex", "bump", "depth", "lightPos", "viewDir", "ambient", "diffuse", "specular", "shininess",
          "dofPlanes", "receive_shadows"}},
        {"mask", {"base", "mask", "colorAdjust", "fade"}},
        {"water_filter", {"reflection", "normalMap", "dudv", "bottom", "lightPos", "camPos", "vars"}},
        {"envmap", {"EnvMap", "lightPos", "camPos", "diffuse", "specular", "mixval"}},
        {"simple", {"tex", "factor"}},
        {"simple2", {"tex", "factor"}},
        // The dark water shows nothing of what lies below it, and leaves that picture unread.
        {"water", {"reflection", "normalMap", "dudv", "lightPos", "camPos", "vars"}},
        // The greeting cube leaves its shadow depth (cleared depth only) and du/dv maps unread.
        {"mirror", {"reflection", "normalMap", "bottom", "lightPos", "camPos", "vars"}},
        {"blur", {"tex", "s0", "s1", "s2", "s3"}},
        {"hdr_convert", {"Image", "halfPixel", "invRange"}},
        {"hdr_tonemap", {"Base", "Blur", "exposure", "blurStrength", "range"}},
        {"static", {"noise", "time", "strength", "sheight"}},
    };
    for (const Uniforms& program : expected) {
        ShaderProgram* found = shaders.find(program.key);
        ASSERT_NE(found, nullptr) << program.key;
        shaders.build(found);
        for (const char* name : program.names)
            EXPECT_GE(shaders.uniformLocation(found, name), 0) << program.key << " " << name;
    }
    // The mesh draw feeds the tangent frame as two attributes.
    ShaderProgram* bump = shaders.find("bumpmap");
    EXPECT_GE(shaders.attribLocation(bump, "tangent"), 0);
    EXPECT_GE(shaders.attribLocation(bump, "binormal"), 0);
}

} // namespace
} // namespace halcyra
