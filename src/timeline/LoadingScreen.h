// The loading screen's picture: the logo over the middle band of a fixed 1024 × 768 canvas, the progress
// bar and the stage's status text. The Demo advances the progress and presents each frame.
#pragma once

#include <cstdint>

namespace halcyra {

class BitmapFont;

// One loading step: the float nearest to 1/61, added once per item loaded.
constexpr float loadingStep = 0.016393442f;

// The status text of a loading stage 0 to 6, or null for any other stage.
const char* loadingStageText(int stage);

// Right end of the progress bar on the canvas: 258 + trunc(500 × progress).
int loadingBarEnd(float progress);

// Draws one loading frame into the current framebuffer: clears, logo (when `logoTexture` is not 0), bar,
// status text in `font` (built at height 12). Leaves the matrices and depth test as it found them.
void drawLoadingCanvas(float progress, uint32_t logoTexture, int stage, BitmapFont& font);

} // namespace halcyra
