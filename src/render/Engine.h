// Engine: the renderer singleton. It owns the render targets and, through their singletons, the texture
// and shader registries, the model library, the camera and the light library, and offers the GL operations
// every scene uses. Created during loading, right after the data packet; destroyed after the last scene.
#pragma once

#include "assets/Texture.h"

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
