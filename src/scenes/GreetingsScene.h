// GreetingsScene: 64 beats greeting eight groups in turn, one every 3609.008 ms. At the centre a cube of
// edge 10 turns slowly, drawn with the mirror program from the current group's three textures and a
// brightly lit copy of the scene; around it the animated "mixmax3" and a cloud of points. The eye orbits
// the origin and cuts to another point of the orbit with every new greeting; the orbit widens for the last.
#pragma once

#include "math/Cube.h"
#include "scenes/ShowScene.h"
#include "show/ShowLayout.h"

#include <memory>

namespace halcyra {

class GreetingsScene final : public ShowScene {
public:
    static constexpr float length = show::greetingsLength;
    static constexpr const char* name = "greetings";
    static constexpr float greetingLength = show::greetingMs;
    static constexpr float widerOrbitTime = show::greetingsWiderOrbit;
    static constexpr int groupCount = 8;
    static const char* const groups[groupCount];

    GreetingsScene();

    void start() override;
    void finish() override;
    void update() override;
    void render() override;

    // The greeting clocks. One frame: both clocks run; past a greeting the next group comes and the eye
    // cuts 3240 ms further along its orbit.
    struct Clocks {
        int32_t greetIndex = 0;
        float greetClock = 0.0f;
        float cameraClock = 0.0f;
        void advance(float frameTime);
    };
    // The eye for an orbit clock at scene time `time`.
    static Vec3 eyeAt(float cameraClock, float time);
    // The greeting cube: half its edge, its centre, and how it is turned at scene time `time`.
    static constexpr float cubeHalfEdge = 5.0f;
    static constexpr Vec3 cubeCentre{0.2f, 0.0f, 2.2f};
    static Mat4 cubeRotation(float time);

    Clocks clocks;

private:
    void drawPoints();

    Model* structure;
    WaterProgram mirror;
    TextureBinding maskTexture;
    TextureBinding colorTextures[groupCount];
    TextureBinding normalTextures[groupCount];
    TextureBinding distortionTextures[groupCount];
    // Loaded into the texture matrix before the bright copy; nothing in the scene reads it: identity.
    float textureMatrixA[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float textureMatrixB[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::unique_ptr<Cube[]> cubes;
};

} // namespace halcyra
