// Engine: the renderer singleton. It owns the render targets and, through their singletons, the texture
// and shader registries, the model library, the camera and the light library, and offers the GL operations
// every scene uses. Created during loading, right after the data packet; destroyed after the last scene.
#pragma once

#include "assets/Texture.h"

#include <cstdint>

namespace halcyra {

class Camera;
class LightLibrary;
class ModelLibrary;
class TextureManager;

class Engine {
public:
    static Engine& instance();
    // Tears the Engine down: the registries and libraries it owns go with it.
    static void destroy();

    // The texture's GL object, made on the first call (mipmapped, filters as given) and handed out after.
    // A texture without pixels uploads as a 1 × 1 magenta stand-in, reported once by name.
    TextureBinding uploadTexture(Texture& texture, uint32_t minFilter, uint32_t magFilter);

    void resetTriangleCount() { trianglesDrawn = 0; }
    // Darkens the frame by animated grain; strength 0 leaves it unchanged.
    void drawNoiseOverlay(float time, float strength, TextureBinding noise);
    // Blends a colour over the whole view.
    void drawFadeQuad(const float (&color)[4]);

    int trianglesDrawn = 0;
    LightLibrary* lights = nullptr;
    ModelLibrary* models = nullptr;
    TextureManager* textures = nullptr;
    Camera* camera = nullptr;

private:
    Engine();
};

} // namespace halcyra
