// CubeRainScene: 64 beats of 500 small cubes falling in a swaying column around the animated "mixmax3",
// lit by a light at the camera's eye, with a cloud of points around the origin. A pulse kicked 1, 2.75 and
// 3.5 beats into every bar swells the cubes and the points. The view zooms in during the first second,
// swings out between 24 and 26 s and opens again during the last second. Camera track 2.
#pragma once

#include "math/Cube.h"
#include "scenes/ShowScene.h"
#include "show/ShowLayout.h"

#include <memory>

namespace halcyra {

class CubeRainScene final : public ShowScene {
public:
    static constexpr float length = show::cubeRainLength;
    static constexpr const char* name = "cube rain";
    static constexpr float barLength = show::cubeRainBarMs;

    CubeRainScene();

    void start() override;
    void finish() override;
    void update() override;
    void render() override;

    // The pulse and its bar clock. One frame: the pulse decays by 12.5 a second, then at most one of
    // "bar over", "third accent", "second accent", "first accent" fires; each accent adds 4.
    struct Pulse {
        float pulse = 0.0f;
        float beatClock = 0.0f;
        bool beatFlags[3] = {false, false, false};
        void advance(float frameTime);
    };
    // The field of view at `time`, or a negative value where the projection is left alone.
    static float fovAt(float time);
    // Where cube i is at `time`.
    static Vec3 cubePosition(int i, float time);

    Pulse pulse;

private:
    Model* structure;
    EnvironmentProgram cubeProgram;
    TextureBinding environmentTexture;
    TextureBinding maskTexture;
    std::unique_ptr<Cube[]> cubes;
};

} // namespace halcyra
