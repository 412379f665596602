// The screen framebuffer: the width × height framebuffer object (colour and 24-bit depth, multisampled when
// start-up chose samples and the driver allows it) that the show draws into wherever it means the window's
// own framebuffer. Start-up creates it with the main window; presentation and every frame read-back (F12,
// capture) copy from it. Without framebuffer objects and blit there is none, and the show draws straight
// into the window.
#pragma once

#include <GL/gl.h>

#include <cstdint>

namespace halcyra {

class DisplayConfig;

// Builds the framebuffer at the config's size, bound afterwards, and records it in the config
// (screenFramebuffer, screenSamples). A multisampled one the driver refuses is retried without samples.
// Returns false when the driver cannot make one.
bool createScreenFramebuffer(DisplayConfig& config, int samples);
void releaseScreenFramebuffer();

// The colour buffer that holds the finished frame at `width` × `height`: the screen framebuffer, or its
// resolved copy when it is multisampled. Binds it for reading and returns its name; 0 when there is none.
uint32_t bindScreenForReading();
// Binds the screen framebuffer (config.screenFramebuffer) for drawing and reading again.
void bindScreenForDrawing();
// While on, the screen framebuffer is the single-sampled copy of a multisampled screen (no depth buffer),
// so that a frame costs no multisampled clear and no resolve. The loading screen, flat shapes and bitmap
// text drawn without depth, uses it; nothing changes where the screen is not multisampled.
void drawSingleSampled(bool on);
// Copies the frame bound for reading onto (x, y, width, height) of the framebuffer bound for drawing: pixel
// for pixel at the frame's own size, filtered at any other.
void blitScreenTo(int x, int y, int width, int height);

// Switches the scissor test off for a whole-framebuffer operation, and on again at the end of the scope if
// it was on.
class ScissorOff {
public:
    ScissorOff() : wasOn(glIsEnabled(GL_SCISSOR_TEST)) { glDisable(GL_SCISSOR_TEST); }
    ~ScissorOff() {
        if (wasOn)
            glEnable(GL_SCISSOR_TEST);
    }
    ScissorOff(const ScissorOff&) = delete;
    ScissorOff& operator=(const ScissorOff&) = delete;

private:
    GLboolean wasOn;
};

} // namespace halcyra
