// PlanetScene: the last 116 beats. The bump-lit "planet" inside the white torus of points, on camera
// track 3; from 25,090 ms the eye glides to (0, 0, 250) and stops at 33,090 ms, the torus collapses and
// opens to twice its size, the planet vanishes at 36,560 ms, the glow sinks and then swells, the background
// fades to white at 45,000 ms and the end logo appears out of it. When this scene ends the show ends.
#pragma once

#include "scenes/ShowScene.h"
#include "show/ShowLayout.h"

namespace halcyra {

class PlanetScene final : public ShowScene {
public:
    static constexpr float length = show::planetLength;
    static constexpr const char* name = "planet";
    // How long the gentle show takes to fade the background into white (ms).
    static constexpr float gentleWhiteFade = 250.0f;

    PlanetScene();

    void start() override;
    void finish() override;
    void update() override;
    void render() override;
    void skipRender() override;

    // The torus's base radius at `time`: 200, then collapsing to 0 and opening to 400.
    static float torusRadius(float time);
    // The glide's share of (0, 0, 250) at `time`, or a negative value outside 25,090 … 33,090 ms.
    static float glideShare(float time);
    // The background's grey at `time`, or a negative value before 41,090 ms. White from 45,000 ms: cut to
    // at once, or in the gentle show faded into over a quarter of a second.
    static float backgroundGrey(float time, bool gentle = false);
    // The glow after one frame of the ramps (falling 35,090 … 38,490 ms, rising after).
    static float rampBlurStrength(float time, float frameTime, float blurStrength);
    // When the logo's white band replaces the torus and HDR goes off for good: at the white screen's cut
    // (45,000 ms), or in the gentle show once the background has faded into white, so that the torus and its
    // glow fade with it rather than vanish at the cut.
    static float logoStart(bool gentle);
    // The end logo's fade: 1 at 45,000 ms falling to 0 at 47,000 ms.
    static float logoFactor(float time);

private:
    // Render's state of a frame: HDR switched off for good after the logo's start, and the glow's ramps.
    void switchHdrOff();
    void rampGlow();

    Model* planet;
    BandProgram logo;
    TextureBinding maskTexture;
    TextureBinding logoTexture;
};

} // namespace halcyra
