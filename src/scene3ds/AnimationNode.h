// AnimationNode: the keyframes of one object node of a 3DS keyframer (position, rotation and scale keys,
// each with its ready matrix) and the pose they give for a frame. Built by the 3DS reader; owned by its
// Model, which poses its mesh i with its node i. Playback takes the frame number as the key index.
#pragma once

#include "math/Mat4.h"
#include "math/Quat.h"
#include "math/Vec3.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

struct PositionKey {
    int32_t frame = 0;
    Vec3 position;
    Mat4 matrix; // translation by `position`
};

struct RotationKey {
    int32_t frame = 0;
    Quat orientation; // absolute: the file's relative keys already composed
    Mat4 matrix;
};

struct ScaleKey {
    int32_t frame = 0;
    Vec3 scale;
    Mat4 matrix;
};

class AnimationNode {
public:
    explicit AnimationNode(std::string nodeName);

    // Position · Rotation · Translate(pivot) · Scale for `frame`. With `wrap` the key index is the frame
    // modulo the key count, otherwise the frame clamped to the keys. A node with at most one position key
    // is placed at `origin`; one with no rotation keys is not rotated; one with at most one scale key is
    // not scaled.
    Mat4 matrixAt(int32_t frame, Vec3 origin) const;

    int32_t positionKeyCount() const { return static_cast<int32_t>(positionKeys.size()); }
    int32_t rotationKeyCount() const { return static_cast<int32_t>(rotationKeys.size()); }
    int32_t scaleKeyCount() const { return static_cast<int32_t>(scaleKeys.size()); }

    std::string name;
    uint16_t nodeId = 0;
    uint16_t parentId = 0;
    Vec3 pivot;
    std::vector<PositionKey> positionKeys;
    std::vector<RotationKey> rotationKeys;
    std::vector<ScaleKey> scaleKeys;
    bool wrap = true;
};

} // namespace halcyra
