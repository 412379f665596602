// TextureLoader: decodes TGA (types 2 and 10), JPEG and PNG images, from a file or from bytes in memory,
// into a Texture's pixels. TGA (whichever origin the file declares) and PNG rows arrive bottom row first,
// JPEG rows top row first; PNGs of every colour type and depth come out as 8-bit RGB or RGBA. Every failure,
// a picture too large for the memory there included, is one message and leaves the texture without pixels
// (size 0); nothing ends the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace halcyra {

struct Texture;

enum class ImageKind : int { Tga = 1, Jpeg = 2, Png = 3 };

// Largest width or height a decoder accepts; larger declared sizes are refused before anything is allocated.
constexpr int32_t maxImageSide = 16384;

class TextureLoader {
public:
    void decodeMemory(Texture& texture, const uint8_t* bytes, size_t length, int kind);
    void decodeFile(const char* path, Texture& texture, int kind);
};

} // namespace halcyra
