// CreditsScene: 96 beats of the animated "credits" model, bump-lit with shadows, inside a slowly turning
// torus of 30,000 white points, on camera track 4. After 14,436 ms only the first two credit meshes stay,
// a sphere of points pulses on a 451.11 ms beat, six thick lines join four vertices of the "helpers"
// model to its centre and to each other, and the glow pumps with the beat; in the last second it fades.
#pragma once

#include "scenes/ShowScene.h"
#include "show/ShowLayout.h"

namespace halcyra {

class CreditsScene final : public ShowScene {
public:
    static constexpr float length = show::creditsLength;
    static constexpr const char* name = "credits";
    static constexpr float beatStart = show::phraseMs;
    static constexpr float beatLength = show::creditsBeatMs;

    CreditsScene();

    void start() override;
    void finish() override;
    void update() override;
    void render() override;
    void skipRender() override { stepBeat(); }

    // The beat's state. One frame of it: the clock and the sphere run, the glow recovers towards 1.05;
    // past a beat the lines shift, the glow drops by 0.2 and the sphere grows by 5.5. Returns the glow.
    struct Beat {
        float beatClock = 0.0f;
        float sphereRadius = -2.0f;
        int32_t lineShift = 0;
        float advance(float frameTime, float blurStrength);
    };
    // The glow of the last second: 1.05 falling to 0.65.
    static float lastSecondBlurStrength(float time);
    // The torus of points: three vertices per index, at time `time` with base radius `baseRadius`.
    static void torusPoint(float time, int i, float baseRadius, float (&out)[3]);
    // The whole torus, 10,000 indices, as white points 13 pixels wide at the show's modes (the planet scene
    // draws it too).
    static void drawTorus(Engine& engine, float time, float baseRadius);

    Beat beat;

private:
    // Render's state of a frame: the beat (after 14,436 ms) and the glow of the last second.
    void stepBeat();

    Model* creditsModel;
    Model* helpersModel;
    Mesh* creditsMesh1;
    Mesh* creditsMesh0;
    Mesh* helpersMesh;
    TextureBinding maskTexture;
};

} // namespace halcyra
