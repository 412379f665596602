#include "app/FrameReadback.h"

#include "app/ScreenFramebuffer.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace halcyra {

void readFinishedFrame(int width, int height, std::vector<uint8_t>& pixels) {
    pixels.resize(static_cast<size_t>(width) * height * 4);
    bindScreenForReading();
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                                                  DisplayConfig::instance().screenFramebuffer);
}

} // namespace halcyra
