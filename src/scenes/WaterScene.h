// WaterScene: 64 beats of two models standing in a water plane at height 10. Each frame renders them
// mirrored under the plane (with a cloud of grey points) and unmirrored into blurTarget's two textures,
// then normally into hdrTarget, where a 1400 × 1400 quad with the water program joins the two into the
// surface. The light circles high above; camera track 1; the view opens from 80 to 180 degrees at the end.
#pragma once

#include "scenes/ShowScene.h"
#include "show/ShowLayout.h"

namespace halcyra {

class WaterScene final : public ShowScene {
public:
    static constexpr float length = show::waterLength;
    static constexpr const char* name = "water";

    WaterScene();

    void start() override;
    void finish() override;
    void update() override;
    void render() override;

    // The last second's field of view, 80 rising to 180 on a quarter sine, or a negative value before it.
    static float lastSecondFov(float time);
    // The water pattern's scroll: the fractional part of t / 80000.
    static float scroll(float time);

private:
    void drawModels();
    void drawPoints();

    Model* standingModel;
    Model* animatedModel;
    WaterProgram water;
    TextureBinding waterNormalTexture;
    TextureBinding waterDistortionTexture;
    TextureBinding maskTexture;
};

} // namespace halcyra
