#include "Keyframes.h"

#include <algorithm>
#include <cmath>

namespace halcyra::tools {
namespace {

Float3 toFloat3(const Vec3d& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

PositionKey3ds positionKey(int frame, const Vec3d& show) {
    PositionKey3ds key;
    key.frame = frame;
    key.position = fileFromShowPosition(toFloat3(show));
    return key;
}

// The key that turns the previous orientation into `q`: the reader composes key ⊗ previous.
RotationKey3ds rotationKey(int frame, const Quatd& q) {
    Quatd r = q;
    if (r.w < 0.0)
        r = {-r.w, -r.x, -r.y, -r.z};
    const double sine = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
    RotationKey3ds key;
    key.frame = frame;
    key.angle = static_cast<float>(2.0 * std::atan2(sine, r.w));
    const Vec3d axis = sine > 1e-12 ? Vec3d{r.x / sine, r.y / sine, r.z / sine} : Vec3d{0.0, 1.0, 0.0};
    key.axis = fileFromShowAxis(toFloat3(axis));
    return key;
}

ScaleKey3ds scaleKey(int frame, double scale) {
    ScaleKey3ds key;
    key.frame = frame;
    const float s = static_cast<float>(scale);
    key.scale = {s, s, s};
    return key;
}

} // namespace

int framesFor(double lengthMs) {
    return static_cast<int>(std::ceil(lengthMs / msPerFrame)) + 1;
}

ObjectNode3ds stillNode(const std::string& name, uint16_t nodeId, const Pose& pose) {
    ObjectNode3ds node;
    node.name = name;
    node.nodeId = nodeId;
    node.position = {positionKey(0, pose.position)};
    node.rotation = {rotationKey(0, pose.orientation)};
    node.scale = {scaleKey(0, pose.scale)};
    return node;
}

ObjectNode3ds animatedNode(const std::string& name, uint16_t nodeId, int frames,
                           const std::function<Pose(double ms)>& poseAt) {
    ObjectNode3ds node;
    node.name = name;
    node.nodeId = nodeId;
    Quatd previous;
    bool scales = false;
    std::vector<ScaleKey3ds> scale;
    for (int frame = 0; frame < frames; ++frame) {
        const Pose pose = poseAt(frame * msPerFrame);
        node.position.push_back(positionKey(frame, pose.position));
        node.rotation.push_back(rotationKey(frame, pose.orientation * previous.conjugate()));
        previous = pose.orientation;
        scale.push_back(scaleKey(frame, pose.scale));
        scales = scales || std::abs(pose.scale - 1.0) > 1e-9;
    }
    // A single scale key means no scaling to the player.
    node.scale = scales ? scale : std::vector<ScaleKey3ds>{scaleKey(0, 1.0)};
    return node;
}

CameraFile3ds cameraFile(const std::string& name, double lengthMs, int framesPerKey,
                         const std::function<CameraShot(double ms)>& shotAt) {
    CameraFile3ds camera;
    camera.name = name;
    for (int frame = 0;; frame += framesPerKey) {
        const CameraShot shot = shotAt(frame * msPerFrame);
        camera.eye.push_back(positionKey(frame, shot.eye));
        camera.target.push_back(positionKey(frame, shot.target));
        RollKey3ds roll;
        roll.frame = frame;
        roll.degrees = static_cast<float>(shot.roll);
        camera.roll.push_back(roll);
        if (frame * msPerFrame >= lengthMs)
            break;
    }
    return camera;
}

LightFile3ds lightFile(const std::string& name, double lengthMs, int framesPerKey,
                       const std::function<Vec3d(double ms)>& positionAt) {
    LightFile3ds light;
    light.name = name;
    for (int frame = 0;; frame += framesPerKey) {
        light.position.push_back(positionKey(frame, positionAt(frame * msPerFrame)));
        if (frame * msPerFrame >= lengthMs)
            break;
    }
    return light;
}

} // namespace halcyra::tools
