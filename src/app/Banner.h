// The setup dialog's banner: a 512 × 232 picture with 24 bits per pixel, rows top first, built into the
// program so the dialog needs no file.
#pragma once

#include <cstdint>

namespace halcyra {

struct BannerPicture {
    int width = 0;
    int height = 0;
    const uint8_t* rgb = nullptr; // width × height × 3 bytes
};

BannerPicture bannerPicture();

} // namespace halcyra
