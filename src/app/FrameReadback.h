// FrameReadback: the finished frame read back from the screen framebuffer, for offline capture and its
// contact sheets.
#pragma once

#include <cstdint>
#include <vector>

namespace halcyra {

// Reads the finished frame into `pixels` as BGRA rows, bottom row first: the layout the driver reads fastest.
void readFinishedFrame(int width, int height, std::vector<uint8_t>& pixels);

} // namespace halcyra
