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
// Offline runs read their frames from the screen framebuffer: swapBuffers then leaves the finished frame
// where it is.
void setPresenting(bool present);

// What the studio draws into the window as a frame is presented: `picture` draws into the picture's
// rectangle of the window in place of the finished frame when it returns true; `overlay` draws over the
// whole drawable. Null for either leaves it out.
using PictureView = bool (*)(int x, int y, int width, int height);
using WindowOverlay = void (*)(int width, int height);
void setPresentationViews(PictureView picture, WindowOverlay overlay);

} // namespace halcyra
