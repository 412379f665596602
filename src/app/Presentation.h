// Presentation: the finished frame in the screen framebuffer is scaled onto the window with its aspect
// kept (black bars), the studio's pass view and overlay go over it (never into the frame), then the window
// swaps. The platform layer hands swapBuffers to the timeline as its presentFrame. Offline runs show nobody
// the window and switch presenting off.
#pragma once

namespace halcyra {

// Resolve, scale into the window's drawable letterboxed, swap; the GL state it touches (scissor, colour
// mask, clear colour) is restored, and the screen framebuffer is bound again for drawing and reading.
// Without a screen framebuffer it only swaps.
void swapBuffers();
// Offline runs read their frames from the screen framebuffer (PlatformSettings::presenting): swapBuffers then
// leaves the finished frame where it is.

} // namespace halcyra
