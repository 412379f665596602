#include "core/DisplayConfig.h"
#include "math/Cube.h"
#include "math/MetaballField.h"

#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

// A white picture of x in −10 … 10 by y in −10 … 10 across the whole screen, on black.
void beginFlatPicture() {
    const DisplayConfig& config = DisplayConfig::instance();
    glViewport(0, 0, config.width, config.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10.0, 10.0, -10.0, 10.0, -20.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
}

// The screen pixel at picture coordinates (x, y) is lit.
bool litAt(const test::GlTestContext& context, float x, float y) {
    const DisplayConfig& config = DisplayConfig::instance();
    const int px = static_cast<int>((x + 10.0f) / 20.0f * config.width);
    const int py = static_cast<int>((y + 10.0f) / 20.0f * config.height);
    return context.screenPixel(px, py)[0] > 128;
}

TEST(MathDraw, CubeAndMetaballSurfaceLandWhereTheirGeometryIs) {
    test::GlTestContext context;
    beginFlatPicture();

    Cube cube;
    cube.build(2.0f);
    cube.position = {-5.0f, 0.0f, 0.0f};
    cube.rotation = Mat4::rotationXYZ(0, 0, 45);
    EXPECT_EQ(cube.draw(), 12);

    MetaballField field;
    field.create(1, 30, 10.0f, 4.0f);
    field.sampleField();
    field.computeNormals();
    const int32_t triangles = field.draw(1.0f, {5.0f, 0.0f, 0.0f});
    EXPECT_GT(triangles, 0);
    EXPECT_EQ(MetaballField::drawSurface(field.surface), triangles);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glFinish();

    EXPECT_TRUE(litAt(context, -5.0f, 0.0f));  // cube centre
    EXPECT_TRUE(litAt(context, -5.0f, 2.6f));  // a corner of the turned cube reaches 2.83 up
    EXPECT_FALSE(litAt(context, -2.6f, 2.6f)); // outside the turned square
    EXPECT_TRUE(litAt(context, 5.0f, 0.0f));   // sphere centre
    EXPECT_TRUE(litAt(context, 6.7f, 0.0f));
    EXPECT_FALSE(litAt(context, 7.5f, 0.0f)); // beyond radius 2
    EXPECT_FALSE(litAt(context, 0.0f, 0.0f));
}

} // namespace
} // namespace halcyra
