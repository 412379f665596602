#include "scenes/PlaceholderScene.h"

#include <GL/gl.h>

namespace halcyra {

PlaceholderScene::PlaceholderScene(float length, float red, float green, float blue)
    : clearColor{red, green, blue} {
    engine = &Engine::instance();
    endTime = length;
    noiseStrength = 0.1f;
}

void PlaceholderScene::render() {
    glClearColor(clearColor[0], clearColor[1], clearColor[2], 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace halcyra
