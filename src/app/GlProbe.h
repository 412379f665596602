// GL probing: what the current context's window system offers besides the GL strings (its context-extension
// string, swap control, entry points), for loadGlExtensions, and whether the driver takes the multisampled
// screen framebuffer start-up asks for. This is the only file that includes GLX and EGL headers.
#pragma once

#include "core/GlExtensions.h"

namespace halcyra {

class DisplayConfig;

// The window system behind the current context: EGL's extension string (swap control always), or GLX's
// (swap control when it offers GLX_EXT, GLX_MESA or GLX_SGI swap control), entry points from SDL.
GlPlatform currentGlPlatform();

// Sets screenSamples to `sampleCount` when framebuffer multisampling and blit are offered with at least that
// many samples; otherwise 0 and false.
bool chooseMultisampleFormat(DisplayConfig& config, int sampleCount);

} // namespace halcyra
