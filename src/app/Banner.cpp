#include "app/Banner.h"

namespace halcyra {

// Painted by the content tool while the program is built, and compiled in from the build tree.
extern const int generatedBannerWidth;
extern const int generatedBannerHeight;
extern const uint8_t generatedBannerRgb[];

BannerPicture bannerPicture() {
    return BannerPicture{generatedBannerWidth, generatedBannerHeight, generatedBannerRgb};
}

} // namespace halcyra
