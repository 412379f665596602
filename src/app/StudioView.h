// StudioView: what the studio draws into the window as a frame is presented, never into the picture that
// F12 and captures read: one of the passes' targets in place of the finished picture (F2 to F5), and the
// overlay (Tab) with the show time, bar and beat, scene, frame time, look parameters and the compiler's log
// of a program that failed to build. Presentation calls it with the window's framebuffer bound for drawing;
// every GL state it changes is put back. It is the program's, above the platform layer: main hands the two
// drawing functions to the platform (PlatformSettings).
#pragma once

namespace halcyra {

class Player;

// The player whose state the studio shows; null (the default) shows nothing.
void setStudioPlayer(const Player* player);

// Draws the pass the player chose into (x, y, width, height) of the window; false, drawing nothing, for the
// finished picture or when the Engine has no targets.
bool drawPassView(int x, int y, int width, int height);

// Draws the overlay over a window drawable of `width` × `height` when the player shows it.
void drawStudioOverlay(int width, int height);

// Releases the overlay's font (at shut-down, with the context still current).
void releaseStudioView();

} // namespace halcyra
