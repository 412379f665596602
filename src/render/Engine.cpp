#include "render/Engine.h"

#include "assets/ShaderManager.h"
#include "assets/TextureManager.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
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

TextureBinding Engine::uploadTexture(Texture& texture, uint32_t minFilter, uint32_t magFilter) {
    if (texture.binding.id != TextureBinding::noObject)
        return texture.binding;
    static const uint8_t magenta[3] = {255, 0, 255};
    const bool decoded = !texture.pixels.empty() && texture.width > 0 && texture.height > 0;
    if (!decoded)
        showMessage("Texture \"" + texture.name + "\" has no picture; it is shown in magenta.");
    glGenTextures(1, &texture.binding.id);
    texture.binding.value = 0;
    texture.binding.flag = 0;
    texture.binding.target = GL_TEXTURE_2D;
    glBindTexture(GL_TEXTURE_2D, texture.binding.id);
    if (decoded)
        glTexImage2D(GL_TEXTURE_2D, 0, texture.bitsPerPixel / 8, texture.width, texture.height, 0,
                     texture.format, GL_UNSIGNED_BYTE, texture.pixels.data());
    else
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, magenta);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    if (const auto generateMipmap = GlExtensions::instance().glGenerateMipmapEXT)
        generateMipmap(GL_TEXTURE_2D);
    return texture.binding;
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
