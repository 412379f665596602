// ShowState: what the scenes leave behind for the scenes after them and that a scene may read before it
// sets it: the look parameters, the camera, the lights, the Engine's focus planes and viewport, and the GL
// matrices, viewport and clear colour. The Demo keeps it as loading ends and puts it back before every play
// and before a seek plays the show again from its top, so that a replay starts from the state playback from
// the top started from, and lands on the same frame.
#pragma once

#include "math/Vec3.h"
#include "scene3ds/LightLibrary.h"

namespace halcyra {

class CameraTrack;

class ShowState {
public:
    // Takes the state as it is now.
    void capture();
    // Puts it back; nothing before capture.
    void restore() const;
    bool captured() const { return taken; }

private:
    bool taken = false;
    float look[5] = {};
    int hdrEnabled = 0;
    float fieldOfView = 0.0f;
    Vec3 eye, target, up;
    CameraTrack* track = nullptr;
    bool trackActive = false;
    Light lights[LightLibrary::lightCount];
    float dofPlanes[3] = {};
    int viewport[4] = {};
    int glViewport[4] = {};
    int screenWidth = 0; // the picture's size when the state was taken
    int screenHeight = 0;
    float clearColor[4] = {};
    float projection[16] = {};
    float modelview[16] = {};
    float texture[4][16] = {};
    int activeTexture = 0;
};

} // namespace halcyra
