#include "support/GlTestContext.h"

#include "app/FrameCapture.h"
#include "app/Platform.h"
#include "app/ScreenFramebuffer.h"
#include "app/Startup.h"
#include "assets/DataPacket.h"
#include "core/DisplayConfig.h"
#include "core/Message.h"
#include "render/Engine.h"
#include "support/Registries.h"

#include <GL/gl.h>

#include <cstdlib>
#include <string>

namespace halcyra::test {

GlTestContext::GlTestContext(int mode) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* error = nullptr;
    if (!initVideo(&error))
        fatalError(std::string("test context: ") + (error ? error : "no video"));
    configurePlatform({});
    DisplayRequest request;
    request.showDialog = false;
    request.mode = mode;
    request.fullscreen = false;
    request.vsync = false;
    initDisplay(DisplayConfig::instance(), request);
}

GlTestContext::~GlTestContext() {
    if (FrameCapture::exists())
        FrameCapture::destroy();
    Engine::destroy();
    destroyRegistries();
    shutdownDisplay();
}

void GlTestContext::loadShowPacket() {
    DataPacket packet(HALCYRA_DATA_DIR "/data.qz");
}

std::vector<uint8_t> GlTestContext::readScreen(int x, int y, int width, int height) const {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    bindScreenForReading();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace halcyra::test
