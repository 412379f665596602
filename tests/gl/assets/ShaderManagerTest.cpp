#include "assets/ShaderManager.h"

#include "core/GlExtensions.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

const char* const passVertex = "void main() { gl_Position = gl_Vertex; }\n";
const char* const colourFragment = "uniform float level;\nuniform vec4 tint;\n"
                                   "void main() { gl_FragColor = vec4(level) * tint; }\n";

class ShaderManagerTest : public testing::Test {
protected:
    ShaderProgram* add(const char* name, const char* vertex, const char* fragment) {
        ShaderManager::instance().add(std::make_unique<ShaderProgram>(), vertex, fragment, name);
        return ShaderManager::instance().find(name);
    }
    void drawQuad() {
        glBegin(GL_QUADS);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(1, 1);
        glVertex2f(-1, 1);
        glEnd();
    }
    test::GlTestContext context;
};

TEST_F(ShaderManagerTest, BuiltProgramDrawsWithItsUniforms) {
    ShaderManager& shaders = ShaderManager::instance();
    ShaderProgram* program = add("simple", passVertex, colourFragment);
    shaders.build(program);
    ASSERT_TRUE(program->built);
    const GlExtensions& ext = GlExtensions::instance();
    ext.glUseProgramObjectARB(program->handle);
    const float tint[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    shaders.setFloat(shaders.uniformLocation(program, "level"), 1.0f);
    shaders.setVec4(shaders.uniformLocation(program, "tint"), tint);
    drawQuad();
    ext.glUseProgramObjectARB(0);
    const auto pixel = context.screenPixel(10, 10);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[2], 0);
    EXPECT_EQ(shaders.uniformLocation(program, "absent"), -1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderManagerTest, BuildingTwiceKeepsTheSameObjectsAndReleaseThenBuildMakesAWorkingProgram) {
    ShaderManager& shaders = ShaderManager::instance();
    ShaderProgram* program = add("twice", passVertex, colourFragment);
    shaders.build(program);
    const uint32_t handle = program->handle;
    shaders.build(program);
    EXPECT_EQ(program->handle, handle);
    shaders.release(program);
    EXPECT_FALSE(program->built);
    shaders.release(program);
    shaders.build(program);
    EXPECT_TRUE(program->built);
    GlExtensions::instance().glUseProgramObjectARB(program->handle);
    EXPECT_GE(shaders.uniformLocation(program, "level"), 0);
    GlExtensions::instance().glUseProgramObjectARB(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderManagerTest, NegativeLocationMakesNoGlCall) {
    ShaderManager& shaders = ShaderManager::instance();
    // With no program current any uniform call would raise GL_INVALID_OPERATION.
    GlExtensions::instance().glUseProgramObjectARB(0);
    const float values[4] = {1, 2, 3, 4};
    shaders.setFloat(-1, 1.0f);
    shaders.setInt(-1, 3);
    shaders.setVec3(-1, values);
    shaders.setVec4(-1, values);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderManagerTest, ProgramsAreIndexedInRegistrationOrder) {
    EXPECT_EQ(add("first", passVertex, colourFragment)->index, 0);
    EXPECT_EQ(add("second", passVertex, colourFragment)->index, 1);
    EXPECT_EQ(ShaderManager::instance().defaultProgram->index, 99);
    EXPECT_EQ(ShaderManager::instance().find("First"), nullptr);
}

using ShaderManagerDeathTest = ShaderManagerTest;

TEST_F(ShaderManagerDeathTest, VertexCompileFailureNamesTheProgramAndShowsTheLog) {
    ShaderProgram* program =
        add("broken_vertex", "void main() { gl_Position = ; }\n", "void main() { oops }\n");
    EXPECT_EXIT(ShaderManager::instance().build(program), testing::ExitedWithCode(255),
                "Vertex shader compile of program \"broken_vertex\" failed:\n.+\n"
                "error: vertex shader compile caused an error\nerror: broken_vertex\n$");
}

TEST_F(ShaderManagerDeathTest, FragmentCompileFailureNamesTheProgram) {
    ShaderProgram* program =
        add("broken_fragment", passVertex, "void main() { gl_FragColor = vec3(1.0); }\n");
    EXPECT_EXIT(ShaderManager::instance().build(program), testing::ExitedWithCode(255),
                "error: fragment shader compile caused an error\nerror: broken_fragment\n$");
}

TEST_F(ShaderManagerDeathTest, LinkFailureHasItsOwnMessageWithoutTheName) {
    ShaderProgram* program =
        add("unlinked",
            "varying vec3 onlyHere;\nvoid main() { onlyHere = vec3(1.0); gl_Position = gl_Vertex; }\n",
            "void undefinedFunction();\nvoid main() { undefinedFunction(); gl_FragColor = vec4(1.0); }\n");
    EXPECT_EXIT(ShaderManager::instance().build(program), testing::ExitedWithCode(255),
                "Link of program \"unlinked\" failed:\n(.|\n)*error: shader linking caused an error\n$");
}

TEST_F(ShaderManagerDeathTest, RegisteringANameTwiceEndsTheProcess) {
    add("blur", passVertex, colourFragment);
    EXPECT_EXIT(add("blur", passVertex, colourFragment), testing::ExitedWithCode(255),
                "^error: shaderi on jo\n$");
}

} // namespace
} // namespace halcyra
