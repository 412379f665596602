#include "scene3ds/Camera.h"

#include "math/CameraTrack.h"
#include "math/Mat4.h"
#include "scene3ds/ObjectLoader.h"

namespace halcyra {
Camera::~Camera() = default;

int32_t Camera::addTrack(std::unique_ptr<CameraTrack> track) {
    return tracks.append(std::move(track));
}

void Camera::loadTrack(const char* path, const char*) {
    ObjectLoader loader;
    addTrack(loader.loadCameraTrack(path));
}

void Camera::selectTrack(int32_t index) {
    currentTrack = tracks.at(index);
    if (currentTrack == nullptr)
        return;
    currentTrack->rewind();
    currentTrack->active = true;
}

void Camera::update(float elapsed) {
    if (currentTrack == nullptr || !currentTrack->active)
        return;
    currentTrack->advance(elapsed);
    eye = currentTrack->eye;
    target = currentTrack->target;
    // The roll turns the up vector about the world z axis.
    up = Mat4::transformPoint(Mat4::rotationXYZ(0.0f, 0.0f, currentTrack->roll), Vec3{0.0f, 1.0f, 0.0f});
}

} // namespace halcyra
