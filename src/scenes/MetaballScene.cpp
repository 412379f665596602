#include "scenes/MetaballScene.h"

#include "core/DisplayConfig.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Model.h"
#include "show/ShowLayout.h"

#include <GL/gl.h>

#include <cmath>

namespace halcyra {

MetaballScene::MetaballScene() : ShowScene(name, length, 0.1f) {
    standingModel = model("mixmax1");
    standingModel->animate(0.0f);
    animatedModel = model("mixmaxtr");
    createField(field);
    surfaceProgram.program = program("envmap");
    environmentTexture = texture("c_mmixb.png");
    maskProgram = program("mask");
    maskTexture = texture("mask1.png");
}

void MetaballScene::start() {
    engine->camera->selectTrack(0);
    engine->lights->disableAll();
    prepareEngine(true, 100.0f);
    engine->setClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    surfaceProgram.build(*shaders);
    buildMaskProgram();
    setLook(1.0f, 0.9f, 1.0f, 0.012f);
}

void MetaballScene::createField(MetaballField& balls) {
    balls.create(6, 30, 10.0f, 3.0f);
    balls.balls[0].strength = 2.0f;
    balls.balls[3].strength = 6.0f;
    balls.balls[4].strength = 1.0f;
}

void MetaballScene::placeBalls(MetaballField& balls, float t) {
    const float c1 = std::cos(t * 0.0016666667f);
    const float s1 = std::sin(t * 0.0016666667f);
    const float c2 = std::cos(t * 0.00125f);
    const float s2 = std::sin(t * 0.00125f);
    const float c3 = std::cos(t * 0.0025f);
    const float s3 = std::sin(t * 0.0025f);
    Vec3* p[6];
    for (int i = 0; i < 6; ++i)
        p[i] = &balls.balls[static_cast<size_t>(i)].position;
    p[0]->x = -4.0f * s1 - 2.0f * c1;
    p[0]->y = 4.0f * s1 - 2.0f * c1;
    p[1]->x = 5.0f * s3 + 2.0f * c2;
    p[1]->y = -5.0f * c3 - 2.0f * c1;
    p[1]->z = 5.3f * c3 * c2;
    p[2]->x = -5.0f * c3 - 2.5f * s1;
    p[2]->y = 5.0f * s1 - 2.5f * s3;
    p[2]->z = 4.3f * s2 + 2.0f * c2;
    p[3]->x = 4.0f * c1 * c3 + 3.0f * s1;
    p[3]->y = 5.5f * c1 * s3;
    p[4]->x = 4.1f * s1 + c2;
    p[4]->y = 4.5f * c1 * c3;
    p[4]->z = 2.0f * c1 - 5.0f * s2;
    p[5]->x = 5.2f * c1 * s3;
    p[5]->z = 5.0f * c1 - 2.0f * c3;
}

Vec3 MetaballScene::surfaceOffset(float t) {
    return Vec3{show::metaballCentre.x, show::metaballCentre.y + show::metaballBob * std::sin(t * 0.00125f),
                show::metaballCentre.z};
}

float MetaballScene::lastSecondFov(float t) {
    return length - 1000.0f < t ? 100.0f - (t - (length - 1000.0f)) * 0.05f : -1.0f;
}

float MetaballScene::firstSecondBlurStrength(float t) {
    return t < 1000.0f ? 0.95f - (0.4f - t * 0.0004f) : -1.0f;
}

void MetaballScene::update() {
    const float t = time;
    if (!replaying)
        animatedModel->animate(t);
    engine->camera->update(frameTime);
    engine->lights->setPosition(
        0, show::metaballLightRadius * std::sin(t * 0.00083333335f) + show::metaballLightCentre.x,
        show::metaballLightCentre.y, show::metaballLightRadius * std::cos(t * 0.00083333335f), 1.0f);
    if (!replaying) {
        placeBalls(field, t);
        field.sampleField();
        field.computeNormals();
    }
    noiseStrength = noiseStrengthAt(t);
    if (const float fov = lastSecondFov(t); fov > 0.0f)
        engine->setPerspective(fov, -1.0f);
}

void MetaballScene::rampGlow() {
    if (const float glow = firstSecondBlurStrength(time); glow > 0.0f)
        DisplayConfig::instance().hdrBlurStrength = glow;
}

void MetaballScene::render() {
    const float t = time;
    setLightColors(0.7f + 0.3f * flicker(0.002f));
    rampGlow();

    // The surface is the same in both passes, so it is polygonised once and emitted twice.
    const Vec3 offset = surfaceOffset(t);
    beginShadowPass(Vec3{19.0f, 40.0f, 0.0f}, 120.0f);
    engine->drawModelDepth(standingModel);
    engine->drawModelDepth(animatedModel);
    engine->trianglesDrawn += field.draw(1.0f, offset);
    endShadowPass();

    beginLitPass();
    engine->beginBumpShading();
    engine->drawModel(standingModel);
    engine->drawModel(animatedModel);
    engine->endBumpShading();

    const float specular[4] = {0.0f, 0.0f, 0.0f, 70.0f};
    useEnvironment(surfaceProgram, environmentTexture, specular, 0.4f);
    // From 21,654 ms the surface is lit from the opposite side; the models keep the true light.
    const float* light = engine->lights->position(0);
    const float flipped[3] = {-light[0], -light[1], -light[2]};
    if (!(t < 21654.0f))
        shaders->setVec3(surfaceProgram.lightPos, flipped);
    const float diffuse[3] = {0.3f, 0.1f, 0.1f};
    shaders->setVec3(surfaceProgram.diffuse, diffuse);
    engine->trianglesDrawn += MetaballField::drawSurface(field.surface);
    engine->useNoProgram();

    finishFrame(grainBlurStep(), maskTexture);
}

void MetaballScene::finish() {
    releaseEngine(true);
    releaseMaskProgram();
    shaders->release(surfaceProgram.program);
}

} // namespace halcyra
