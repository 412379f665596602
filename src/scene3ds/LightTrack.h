// LightTrack: the keyframed position of one light, as its 3DS light file gives it: one key per position
// key of the file, frames as read, positions in the show's axes. Built by the 3DS light reader and kept by
// the LightLibrary until the end; nothing in the show plays them back.
#pragma once

#include "math/Mat4.h"
#include "math/Vec3.h"

#include <cstdint>
#include <vector>

namespace halcyra {

struct LightKey {
    int32_t frame = 0;
    Vec3 position;
    Mat4 matrix; // not filled by the reader
};

struct LightTrack {
    int32_t keyCount() const { return static_cast<int32_t>(keys.size()); }

    std::vector<LightKey> keys;
    int32_t loaded = 1; // set by the reader
};

} // namespace halcyra
