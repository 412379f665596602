#include "scene3ds/Camera.h"

#include "math/CameraTrack.h"

namespace halcyra {
namespace {
std::unique_ptr<Camera>& cameraSlot() {
    static std::unique_ptr<Camera> slot;
    return slot;
}
} // namespace

Camera& Camera::instance() {
    if (!cameraSlot())
        cameraSlot().reset(new Camera());
    return *cameraSlot();
}

void Camera::destroy() {
    cameraSlot().reset();
}

Camera::~Camera() = default;

int32_t Camera::addTrack(std::unique_ptr<CameraTrack> track) {
    return tracks.append(std::move(track));
}

// Until the 3DS camera reader exists the list is walked and nothing is read.
void Camera::loadTrack(const char*, const char*) {}

} // namespace halcyra
