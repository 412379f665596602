// FrameCapture: F12 writes the finished frame to the next numbered, uncompressed 24-bit BMP under frames/
// (scr00000.bmp, scr00001.bmp, …) in the folder the program was started in, never in its data folder. The
// picture travels through a capture texture the size of the display, so every mode is captured whole. The
// folder is made when missing; the first failing file step is reported (in Finnish, as the show always has)
// and the rest of that capture is skipped, leaving no half-written file. The number is used up either way.
#pragma once

#include "assets/Texture.h"
#include "core/Singleton.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace halcyra {

// The first instance() creates it; it needs the Engine and the main context. Its texture goes with the
// context.
class FrameCapture : public Singleton<FrameCapture> {
public:
    void capture();

    // "frames/scr00042.bmp" for 42.
    static std::string fileName(int32_t number);
    // The 58 bytes before the pixels: file header, information header and one RGBQUAD.
    static std::vector<uint8_t> bmpHeaders(int32_t width, int32_t height);

    TextureBinding captureTexture;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameNumber = 0;

private:
    friend class Singleton<FrameCapture>;
    FrameCapture();
};

} // namespace halcyra
