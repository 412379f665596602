// A real GL context for tests: SDL's offscreen video driver (Mesa's llvmpipe when no GPU is there),
// opened through the program's own start-up path, so DisplayConfig, GlExtensions and the screen
// framebuffer are exactly what the show gets. What a test made in the context goes with it: frame capture,
// the Engine and the registries are destroyed before the context is.
#pragma once

#include <cstdint>
#include <vector>

namespace halcyra::test {

class GlTestContext {
public:
    // `mode` is a mode button of the setup dialog (4:3 by default).
    explicit GlTestContext(int mode = 1020);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    // Registers the built data.qz's programs and textures, as loading does before the Engine exists.
    static void loadShowPacket();

    // RGBA bytes of the finished frame in the screen framebuffer, rows bottom-up.
    std::vector<uint8_t> readScreen(int x, int y, int width, int height) const;
    // RGBA of one screen pixel.
    std::vector<uint8_t> screenPixel(int x, int y) const { return readScreen(x, y, 1, 1); }
};

} // namespace halcyra::test
