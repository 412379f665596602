// A 3DS camera file from fuzzed bytes: the eye, target and roll tracks are read and prepared, then the
// track is played for a while and past its end, as a scene would.
#include "FuzzSupport.h"

#include "scene3ds/ObjectLoader.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace halcyra;
    static const fuzz::ScratchFile file(".3ds");
    fuzz::dropMessages();
    file.write(data, size);

    ObjectLoader loader;
    const std::unique_ptr<CameraTrack> track = loader.loadCameraTrack(file.path());
    if (track->keyCount() != static_cast<int32_t>(track->keys.size()))
        fuzz::contractBroken("the camera track's key count differs from its keys");
    track->rewind();
    track->active = true;
    for (float elapsed : {0.0f, 16.0f, 40.0f, 1000.0f, 90000.0f, 16.0f})
        track->advance(elapsed);
    return 0;
}
