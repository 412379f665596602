// LightLibrary: the five light records of the show and the light tracks read from the light list. The
// records are plain data: the bump shading uploads light 0's position, ambient and diffuse colours, and the
// scenes set them every frame; no fixed-function GL lighting is used. Torn down with the Engine.
#pragma once

#include "assets/PointerList.h"
#include "core/Singleton.h"
#include "scene3ds/LightTrack.h"

#include <cstdint>

namespace halcyra {

struct Light {
    float diffuse[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    uint32_t glLight = 0;
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
    bool enabled = false;
};

class LightLibrary : public Singleton<LightLibrary> {
public:
    static constexpr int lightCount = 5;

    // The five records as they stand at the top of the show: every value at its start, light n on GL_LIGHTn.
    void resetLights();
    // GL lighting and lights 0 to 4 off; every light's enabled flag cleared.
    void disableAll();
    void setDiffuse(int light, float r, float g, float b, float a);
    void setSpecular(int light, float r, float g, float b, float a);
    void setAmbient(int light, float r, float g, float b, float a);
    void setPosition(int light, float x, float y, float z, float w);
    void setAttenuation(int light, float constant, float linear, float quadratic);
    // The first three position values of `light`.
    const float* position(int light) const { return lights[light].position; }
    // Reads the 3DS light file at `path` and keeps its track; `name` is not used.
    void loadTrack(const char* path, const char* name);

    Light lights[lightCount];
    PointerList<LightTrack> tracks{0};

private:
    friend class Singleton<LightLibrary>;
    LightLibrary();
    friend struct std::default_delete<LightLibrary>;
    ~LightLibrary();
};

} // namespace halcyra
