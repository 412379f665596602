// Camera: the one view of the show: field of view, eye, target, up, and the camera tracks read from the
// camera list, numbered in list order. Scenes select a track and advance it by the frame time, or set eye
// and target themselves; the Engine reads the result for the projection and the view. Torn down with the
// Engine.
#pragma once

#include "assets/PointerList.h"
#include "core/Singleton.h"
#include "math/CameraTrack.h"
#include "math/Vec3.h"

#include <cstdint>
#include <memory>

namespace halcyra {

// Where the camera stands and looks: what the scenes and the tracks move. At the top of the show it is this.
struct CameraView {
    float fieldOfView = 45.0f; // degrees
    Vec3 eye{0.0f, 0.0f, 0.0f};
    Vec3 target{0.0f, 0.0f, 0.0f};
    Vec3 up{0.0f, 1.0f, 0.0f};
    CameraTrack* currentTrack = nullptr;
};

class Camera : public Singleton<Camera>, public CameraView {
public:
    // The view as it stands at the top of the show: no track current, the eye at the origin.
    void resetView() { static_cast<CameraView&>(*this) = CameraView{}; }
    void setEye(float x, float y, float z) { eye = Vec3{x, y, z}; }
    void setTarget(float x, float y, float z) { target = Vec3{x, y, z}; }
    // Appends `track` and returns its index (the count before the append).
    int32_t addTrack(std::unique_ptr<CameraTrack> track);
    // Reads the 3DS camera file at `path` and appends its track; `name` is not used.
    void loadTrack(const char* path, const char* name);
    // The track at `index` (the last one for an index outside the list) becomes current, rewound and
    // active.
    void selectTrack(int32_t index);
    // Advances the current, active track by `elapsed` ms and takes its eye, target and roll (as the up
    // vector). Without a current track nothing changes.
    void update(float elapsed);

    PointerList<CameraTrack> tracks{0};

private:
    friend class Singleton<Camera>;
    Camera() = default;
    friend struct std::default_delete<Camera>;
    ~Camera();
};

} // namespace halcyra
