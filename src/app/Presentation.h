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

// Adaptive quality: the screen framebuffer and the Engine's picture targets are made anew at width ×
// height (`full`: the picture's own size and targets again); swapBuffers scales the smaller frame up to
// the window. Without a screen framebuffer the picture keeps its size.
void drawPictureAt(int width, int height, bool full);

} // namespace halcyra
