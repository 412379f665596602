#include "scene3ds/LightLibrary.h"

#include "scene3ds/LightTrack.h"
#include "scene3ds/ObjectLoader.h"

#include <GL/gl.h>

namespace halcyra {
namespace {
void store(float (&field)[4], float a, float b, float c, float d) {
    field[0] = a;
    field[1] = b;
    field[2] = c;
    field[3] = d;
}
} // namespace

LightLibrary::LightLibrary() {
    resetLights();
}

void LightLibrary::resetLights() {
    for (int i = 0; i < lightCount; ++i) {
        lights[i] = Light{};
        lights[i].glLight = GL_LIGHT0 + i;
    }
}

LightLibrary::~LightLibrary() = default;

void LightLibrary::disableAll() {
    glDisable(GL_LIGHTING);
    for (Light& light : lights) {
        glDisable(light.glLight);
        light.enabled = false;
    }
}

void LightLibrary::setDiffuse(int light, float r, float g, float b, float a) {
    store(lights[light].diffuse, r, g, b, a);
}

void LightLibrary::setSpecular(int light, float r, float g, float b, float a) {
    store(lights[light].specular, r, g, b, a);
}

void LightLibrary::setAmbient(int light, float r, float g, float b, float a) {
    store(lights[light].ambient, r, g, b, a);
}

void LightLibrary::setPosition(int light, float x, float y, float z, float w) {
    store(lights[light].position, x, y, z, w);
}

void LightLibrary::setAttenuation(int light, float constant, float linear, float quadratic) {
    lights[light].constantAttenuation = constant;
    lights[light].linearAttenuation = linear;
    lights[light].quadraticAttenuation = quadratic;
}

void LightLibrary::loadTrack(const char* path, const char*) {
    ObjectLoader loader;
    tracks.append(loader.loadLightTrack(path));
}

} // namespace halcyra
