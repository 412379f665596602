#include "render/Engine.h"

#include "assets/TextureManager.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"

#include <GL/gl.h>

#include <memory>

namespace halcyra {
namespace {
std::unique_ptr<Engine>& engineSlot() {
    static std::unique_ptr<Engine> slot;
    return slot;
}
} // namespace

Engine& Engine::instance() {
    if (!engineSlot())
        engineSlot().reset(new Engine());
    return *engineSlot();
}

void Engine::destroy() {
    engineSlot().reset();
}

Engine::Engine() {
    lights = &LightLibrary::instance();
    models = &ModelLibrary::instance();
    textures = &TextureManager::instance();
    camera = &Camera::instance();
}

// Placeholder until the post-processing passes exist.
void Engine::drawNoiseOverlay(float, float, TextureBinding) {}

void Engine::drawFadeQuad(const float (&color)[4]) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4fv(color);
    glBegin(GL_QUADS);
    glVertex3i(-100, 75, -100);
    glVertex3i(100, 75, -100);
    glVertex3i(100, -75, -100);
    glVertex3i(-100, -75, -100);
    glEnd();
    glDisable(GL_BLEND);
}

} // namespace halcyra
