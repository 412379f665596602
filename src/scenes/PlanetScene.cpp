#include "scenes/PlanetScene.h"

#include "core/DisplayConfig.h"
#include "math/Clamp.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Model.h"
#include "scenes/CreditsScene.h"
#include "show/ShowLayout.h"

#include <GL/gl.h>

#include <cmath>

namespace halcyra {

PlanetScene::PlanetScene() : ShowScene(name, length, 0.1f) {
    planet = model("planet");
    planet->animate(0.0f);
    maskProgram = program("mask");
    maskTexture = texture("mask3.png");
    logoTexture = texture("qz2007.png");
    logo.program = program("simple");
}

void PlanetScene::start() {
    engine->camera->selectTrack(3);
    engine->lights->disableAll();
    engine->lights->setPosition(0, show::farLight.x, show::farLight.y, show::farLight.z, 1.0f);
    prepareEngine(true, 90.0f);
    engine->setClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    logo.build(*shaders);
    buildMaskProgram();
    setLook(0.5f, 1.05f, 1.0f, 0.04f);
}

float PlanetScene::torusRadius(float t) {
    constexpr float collapsed = show::planetTrackEnd + show::torusCollapseMs;
    if (t < show::planetTrackEnd)
        return show::torusRadius;
    if (t < collapsed)
        return 220.0f * std::sin((t - show::planetTrackEnd) * 0.00052359881f + 1.5707964f);
    if (t < 40802.0f)
        return 400.0f * std::sin((t - collapsed) * 0.00033333333f);
    return 400.0f;
}

float PlanetScene::glideShare(float t) {
    return show::planetGlideStart < t && t < show::planetTrackEnd ? (t - show::planetGlideStart) * 0.000125f
                                                                  : -1.0f;
}

float PlanetScene::backgroundGrey(float t, bool gentle) {
    const auto fading = [](float t) { return clampFloat((t - 41090.0f) * 0.0001f, 0.0f, 1.0f); };
    if (t > show::planetWhiteout) {
        if (!gentle)
            return 1.0f;
        const float from = fading(show::planetWhiteout);
        return from + (1.0f - from) * clampFloat((t - show::planetWhiteout) / gentleWhiteFade, 0.0f, 1.0f);
    }
    if (t > 41090.0f)
        return fading(t);
    return -1.0f;
}

float PlanetScene::rampBlurStrength(float t, float dt, float blurStrength) {
    if (35090.0f < t && t < 38490.0f)
        return clampFloat(blurStrength - dt * 0.00016666667f, 0.0f, 10.0f);
    if (!(t < 38490.0f))
        return clampFloat(blurStrength + dt * 0.00033333333f, 0.0f, 10.0f);
    return blurStrength;
}

float PlanetScene::logoStart(bool gentle) {
    return show::planetWhiteout + (gentle ? gentleWhiteFade : 0.0f);
}

float PlanetScene::logoFactor(float t) {
    return clampFloat(1.0f - (t - show::planetWhiteout) * 0.0005f, 0.0f, 1.0f);
}

void PlanetScene::update() {
    const float t = time;
    Camera& camera = *engine->camera;
    if (t < show::planetTrackEnd)
        camera.update(frameTime);
    if (const float b = glideShare(t); b >= 0.0f)
        camera.eye = Vec3{camera.eye.x * (1.0f - b), camera.eye.y * (1.0f - b),
                          camera.eye.z * (1.0f - b) + 250.0f * b};
    noiseStrength = noiseStrengthAt(t);
    if (const float g = backgroundGrey(t, DisplayConfig::instance().gentle); g >= 0.0f)
        engine->setClearColor(g, g, g, 0.5f);
}

void PlanetScene::switchHdrOff() {
    DisplayConfig& config = DisplayConfig::instance();
    if (time > logoStart(config.gentle))
        config.hdrEnabled = 0;
}

void PlanetScene::rampGlow() {
    DisplayConfig& look = DisplayConfig::instance();
    look.hdrBlurStrength = rampBlurStrength(time, frameTime, look.hdrBlurStrength);
}

void PlanetScene::skipRender() {
    switchHdrOff();
    rampGlow();
}

void PlanetScene::render() {
    const float t = time;
    setLightColors(0.8f + 0.2f * flicker(0.002f));
    switchHdrOff();

    beginShadowPass(Vec3{0.0f, 0.0f, 0.0f}, 90.0f);
    engine->drawModelDepth(planet);
    endShadowPass();

    beginLitPass();
    if (t < 36560.0f) {
        engine->beginBumpShading();
        engine->drawModel(planet);
        engine->endBumpShading();
    }

    if (t < logoStart(DisplayConfig::instance().gentle)) {
        setPointAttenuation(0.001f);
        CreditsScene::drawTorus(*engine, t, torusRadius(t));
        setPointAttenuation(0.0f);
    } else {
        drawBandPicture(logo, logoTexture, logoFactor(t));
    }

    // The glow ramps come before the HDR pass reads the glow strength.
    engine->hdrTarget->unbind();
    rampGlow();
    finishFrame(standardBlurStep(), maskTexture);
}

void PlanetScene::finish() {
    releaseEngine(true);
    releaseMaskProgram();
    shaders->release(logo.program);
}

} // namespace halcyra
