// The PNG decoder on fuzzed bytes, from memory and through a file: both must give the same texture, and
// every texture must hold exactly its declared pixels or none.
#include "FuzzSupport.h"

#include "assets/TextureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    halcyra::fuzz::decodeBothWays(data, size, static_cast<int>(halcyra::ImageKind::Png));
    return 0;
}
