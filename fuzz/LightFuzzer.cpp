// A 3DS light file from fuzzed bytes: the light's position track.
#include "FuzzSupport.h"

#include "scene3ds/ObjectLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace halcyra;
    static const fuzz::ScratchFile file(".3ds");
    fuzz::dropMessages();
    file.write(data, size);

    ObjectLoader loader;
    const std::unique_ptr<LightTrack> track = loader.loadLightTrack(file.path());
    if (track->keyCount() != static_cast<int32_t>(track->keys.size()))
        fuzz::contractBroken("the light track's key count differs from its keys");
    return 0;
}
