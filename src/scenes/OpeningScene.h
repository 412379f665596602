// OpeningScene: the first 48 beats. Until 14,436 ms a swarm of 1000 turning cubes, a sweeping point cloud
// and a black line up from every cube, seen through moving water and a scrolling mask, the eye orbiting
// the origin; from then on the title card fading in. The one scene without models, bump shading or shadow
// pass: its HDR pass always runs and its picture goes through the water filter before the mask.
#pragma once

#include "math/Cube.h"
#include "scenes/ShowScene.h"
#include "show/ShowLayout.h"

#include <memory>

namespace halcyra {

class OpeningScene final : public ShowScene {
public:
    static constexpr float length = show::openingLength;
    static constexpr const char* name = "opening";
    static constexpr float titleTime = show::phraseMs;

    OpeningScene();

    void start() override;
    void finish() override;
    void update() override;
    void render() override;

    // The title card's fade: 0 at 14,436 ms, 1 from 18,436 ms.
    static float titleFactor(float time);
    // The eye's orbit of radius 50.
    static Vec3 eyeAt(float time);
    // The mask strip's scroll: u across (never wrapping), w the vertical sway.
    static float scrollU(float time);
    static float scrollW(float time);

private:
    void drawSwarm();

    WaterProgram waterFilter;
    EnvironmentProgram cubeProgram;
    BandProgram title;
    TextureBinding titleTexture;
    TextureBinding environmentTexture;
    TextureBinding waterNormalTexture;
    TextureBinding waterDistortionTexture;
    TextureBinding maskTexture;
    // Loaded into the texture matrix before the cubes; nothing in the scene reads it, so it stays identity.
    float textureMatrixA[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float textureMatrixB[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::unique_ptr<Cube[]> cubes;
};

} // namespace halcyra
