// Camera: the show's one camera and its list of tracks, read from the camera list during loading.
#pragma once

namespace halcyra {

class Camera {
public:
    static Camera& instance();
    // Reads the 3DS camera file at `path` and appends its track.
    void loadTrack(const char* path, const char* name);
};

} // namespace halcyra
