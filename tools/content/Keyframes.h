// Keyframes in the form the program plays them: a model's object node holds one key per frame at 25 frames
// per second (the player indexes keys by frame number and wraps around at the end), so an animation is a
// function of time sampled once per frame. Poses are given in the show's axes as absolute orientations;
// nodes store each rotation relative to the key before, as the reader composes them. Camera and light
// files come from eye, target and roll functions sampled at a fixed key spacing.
#pragma once

#include "Geometry.h"
#include "Writer3ds.h"

#include <functional>
#include <string>

namespace halcyra::tools {

constexpr double msPerFrame = 40.0;

// Where an object's local origin is, how it is turned about that origin and how it is scaled.
struct Pose {
    Vec3d position;
    Quatd orientation;
    double scale = 1.0;
};

// A node that holds `pose` for good: one position, rotation and scale key at frame 0.
ObjectNode3ds stillNode(const std::string& name, uint16_t nodeId, const Pose& pose);

// A node with a key for every frame 0 … frames − 1 of `poseAt` (time in ms). Scale keys are written only
// when some frame scales.
ObjectNode3ds animatedNode(const std::string& name, uint16_t nodeId, int frames,
                           const std::function<Pose(double ms)>& poseAt);

struct CameraShot {
    Vec3d eye;
    Vec3d target;
    double roll = 0.0; // bank in degrees as the file stores it; the program turns the up vector about z
};

// Keys every `framesPerKey` frames from frame 0 until the first key at or past `lengthMs`.
CameraFile3ds cameraFile(const std::string& name, double lengthMs, int framesPerKey,
                         const std::function<CameraShot(double ms)>& shotAt);

LightFile3ds lightFile(const std::string& name, double lengthMs, int framesPerKey,
                       const std::function<Vec3d(double ms)>& positionAt);

// Frames needed to cover `lengthMs` with a key for its last frame.
int framesFor(double lengthMs);

} // namespace halcyra::tools
