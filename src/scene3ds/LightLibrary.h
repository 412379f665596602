// LightLibrary: the show's five lights and the light tracks read from the light list during loading.
#pragma once

namespace halcyra {

class LightLibrary {
public:
    static LightLibrary& instance();
    // Reads the 3DS light file at `path`.
    void loadTrack(const char* path, const char* name);
};

} // namespace halcyra
