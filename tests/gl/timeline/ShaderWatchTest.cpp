#include "timeline/ShaderWatch.h"

#include "assets/ShaderManager.h"
#include "core/GlExtensions.h"
#include "support/GlTestContext.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace halcyra {
namespace {

const char* const vertex = "void main() { gl_Position = gl_Vertex; }\n";

std::string fragment(const char* colour) {
    return std::string("void main() { gl_FragColor = vec4(") + colour + "); }\n";
}

// The colour the program "probe" draws over the screen, as it is built now.
std::vector<uint8_t> probeColour(test::GlTestContext& context) {
    const GlExtensions& ext = GlExtensions::instance();
    ShaderProgram* program = ShaderManager::instance().find("probe");
    ShaderManager::instance().build(program);
    glDisable(GL_DEPTH_TEST);
    ext.glUseProgramObjectARB(program->handle);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    ext.glUseProgramObjectARB(0);
    return context.screenPixel(10, 10);
}

// Saves `colour` as probe.frag once the watch would look again.
void save(const test::TempDir& folder, const std::string& text) {
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    folder.write("probe.frag", text);
}

TEST(ShaderWatch, AChangedFileRebuildsItsProgramAndABrokenOneKeepsTheLastBuild) {
    test::GlTestContext context;
    test::MessageLog messages;
    test::TempDir folder;
    ShaderManager::instance().add(std::make_unique<ShaderProgram>(), vertex, fragment("0.0, 0.0, 1.0, 1.0"),
                                  "probe");
    folder.write("probe.vert", vertex);
    folder.write("probe.frag", fragment("1.0, 0.0, 0.0, 1.0"));

    // The folder's sources replace the packet's.
    ShaderWatch watch(folder.path().string());
    EXPECT_EQ(probeColour(context), (std::vector<uint8_t>{255, 0, 0, 255}));

    save(folder, fragment("0.0, 1.0, 0.0, 1.0"));
    EXPECT_TRUE(watch.poll());
    EXPECT_EQ(probeColour(context), (std::vector<uint8_t>{0, 255, 0, 255})) << "rebuilt at once";

    save(folder, "void main() { gl_FragColor = vec4(1.0) }\n");
    EXPECT_FALSE(watch.poll());
    EXPECT_NE(watch.log().find("\"probe\""), std::string::npos) << watch.log();
    EXPECT_EQ(probeColour(context), (std::vector<uint8_t>{0, 255, 0, 255})) << "the last build stays";

    save(folder, fragment("1.0, 1.0, 0.0, 1.0"));
    EXPECT_TRUE(watch.poll());
    EXPECT_EQ(watch.log(), "");
    EXPECT_EQ(probeColour(context), (std::vector<uint8_t>{255, 255, 0, 255}));
    EXPECT_TRUE(messages.texts().empty()) << "the studio's compiler logs are no message boxes";
}

} // namespace
} // namespace halcyra
