// MetaballScene: 64 beats of a six-ball metaball surface bobbing above two models at (19, 40, 0), drawn
// with the environment program; the models are bump-lit with shadows under a light circling overhead, on
// camera track 0. The glow rises in the first second and the view narrows from 100 to 50 degrees in the last.
#pragma once

#include "math/MetaballField.h"
#include "scenes/ShowScene.h"
#include "show/ShowLayout.h"

namespace halcyra {

class MetaballScene final : public ShowScene {
public:
    static constexpr float length = show::metaballsLength;
    static constexpr const char* name = "metaballs";

    MetaballScene();

    void start() override;
    void finish() override;
    void update() override;
    void render() override;
    void skipRender() override { rampGlow(); }

    // Builds `field` as the scene grows its surface: six balls on a grid of 30 a side, three of them with
    // strengths of their own.
    static void createField(MetaballField& field);
    // Writes the six balls' paths for `time` into `field` (only the coordinates the paths set).
    static void placeBalls(MetaballField& field, float time);
    // The surface's offset: (19, 40 + 25 sin(t / 800), 0).
    static Vec3 surfaceOffset(float time);
    // The field of view of the last second (100 narrowing to 50), or a negative value before it.
    static float lastSecondFov(float time);
    // The glow of the first second, 0.55 rising to 0.95, or a negative value after it.
    static float firstSecondBlurStrength(float time);

    MetaballField field;

private:
    // The glow of the first second; after it the last value set stays.
    void rampGlow();

    Model* standingModel;
    Model* animatedModel;
    EnvironmentProgram surfaceProgram;
    TextureBinding environmentTexture;
    TextureBinding maskTexture;
};

} // namespace halcyra
