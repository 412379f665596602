// Stand-in for the show's seven scenes until they are built: each runs for its scene's exact length and
// clears the screen to its own dark colour.
#pragma once

#include "timeline/Scene.h"

namespace halcyra {

class PlaceholderScene final : public Scene {
public:
    PlaceholderScene(float length, float red, float green, float blue);

    void start() override {}
    void finish() override {}
    void update() override {}
    void render() override;

private:
    float clearColor[3];
};

} // namespace halcyra
