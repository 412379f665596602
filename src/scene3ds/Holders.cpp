#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"

namespace halcyra {

// Placeholders until the 3DS reader exists: the lists are walked, nothing is read.

ModelLibrary& ModelLibrary::instance() {
    static ModelLibrary library;
    return library;
}
void ModelLibrary::load(const char*, const char*) {}

Camera& Camera::instance() {
    static Camera camera;
    return camera;
}
void Camera::loadTrack(const char*, const char*) {}

LightLibrary& LightLibrary::instance() {
    static LightLibrary library;
    return library;
}
void LightLibrary::loadTrack(const char*, const char*) {}

} // namespace halcyra
