#include "scenes/WaterScene.h"

#include "core/DisplayConfig.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Model.h"
#include "show/ShowLayout.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

namespace halcyra {

WaterScene::WaterScene() : ShowScene(name, length, 0.1f) {
    standingModel = model("mixmax2");
    standingModel->animate(0.0f);
    animatedModel = model("mixmax2t");
    waterNormalTexture = texture("n_water.png");
    waterDistortionTexture = texture("d_water.png");
    maskTexture = texture("mask1.png");
    maskProgram = program("mask");
    water.program = program("water");
}

void WaterScene::start() {
    engine->camera->selectTrack(1);
    engine->lights->disableAll();
    prepareEngine(true, 80.0f);
    water.build(*shaders);
    buildMaskProgram();
    setLook(0.6f, 1.0f, 1.0f, 0.02f);
}

float WaterScene::lastSecondFov(float t) {
    return length - 1000.0f < t ? 80.0f + 100.0f * std::sin((t - (length - 1000.0f)) * 0.0015707964f) : -1.0f;
}

float WaterScene::scroll(float t) {
    return std::fmod(t * 0.0000125f, 1.0f);
}

void WaterScene::update() {
    const float t = time;
    if (!replaying)
        animatedModel->animate(t);
    engine->camera->update(frameTime);
    engine->lights->setPosition(0, 20.0f * std::sin(t * 0.00083333335f) + 19.0f, 150.0f,
                                20.0f * std::cos(t * 0.00083333335f), 1.0f);
    if (const float fov = lastSecondFov(t); fov > 0.0f)
        engine->setPerspective(fov, -1.0f);
    noiseStrength = noiseStrengthAt(t);
}

void WaterScene::drawModels() {
    engine->beginBumpShading();
    engine->drawModel(standingModel);
    engine->drawModel(animatedModel);
    engine->endBumpShading();
}

void WaterScene::drawPoints() {
    const float t = time;
    setPointAttenuation(0.001f);
    glColor3f(0.6f, 0.6f, 0.6f);
    engine->setPointSize(3.0f);
    glBegin(GL_POINTS);
    for (int i = 0; i < 2000; ++i) {
        const float f = static_cast<float>(i);
        const float x = 200.0f * std::sin(f);
        const float s = std::sin(1.3f * f);
        const float h = 200.0f - 0.1f * static_cast<float>(cloudIndex(t, i, 2000));
        glVertex3f(x, 100.0f * s + 150.0f, h);
        glVertex3f(200.0f * s, 0.5f * h + 150.0f, x);
        glVertex3f(h, 100.0f * s + 150.0f, x);
    }
    glEnd();
    setPointAttenuation(0.0f);
}

void WaterScene::render() {
    const float t = time;
    engine->setClearColor(0.2f, 0.2f, 0.4f, 0.5f);
    setLightColors(0.9f + 0.1f * flicker(0.002f));

    beginShadowPass(Vec3{19.0f, 40.0f, 0.0f}, 120.0f);
    engine->drawModelDepth(standingModel);
    engine->drawModelDepth(animatedModel);
    endShadowPass();
    engine->loadCameraView();
    engine->clear();

    // The reflection: the world mirrored about y = 10 and clipped to what lies under the water.
    engine->passTimes.mark(Pass::Mirror);
    RenderTarget& blur = *engine->blurTarget;
    blur.bind();
    blur.setDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    engine->clear();
    loadTextureMatrix(shadowProjection, shadowModelview);
    glPushMatrix();
    glTranslatef(0.0f, 20.0f, 0.0f);
    glScalef(1.0f, -1.0f, 1.0f);
    glEnable(GL_CLIP_PLANE0);
    const double plane[4] = {0.0, 1.0, 0.0, -10.0};
    glClipPlane(GL_CLIP_PLANE0, plane);
    glDisable(GL_CULL_FACE);
    drawModels();
    drawPoints();
    glDisable(GL_CLIP_PLANE0);
    glPopMatrix();
    blur.unbind();

    // What the water shows from below: the models unmirrored, drawn only for a water program that reads
    // it (the show's own dark water hides it; a program from the studio may not).
    if (water.bottom >= 0) {
        blur.bind();
        blur.setDrawBuffer(GL_COLOR_ATTACHMENT1_EXT);
        engine->clear();
        drawModels();
        blur.unbind();
    }

    engine->passTimes.mark(Pass::Scene);
    engine->hdrTarget->bind();
    engine->hdrTarget->setDrawBuffer(DisplayConfig::instance().hdrEnabled != 0 ? GL_COLOR_ATTACHMENT1_EXT
                                                                               : GL_COLOR_ATTACHMENT0_EXT);
    engine->clear();
    drawModels();

    glDisable(GL_CULL_FACE);
    engine->useProgram(water.program);
    engine->queueTexture(water.reflection, blur.textures[0]);
    engine->queueTexture(water.normalMap, waterNormalTexture);
    engine->queueTexture(water.dudv, waterDistortionTexture);
    engine->queueTexture(water.bottom, blur.textures[1]);
    engine->bindQueuedTextures();
    shaders->setVec3(water.lightPos, engine->lights->position(0));
    shaders->setVec3(water.camPos, &engine->camera->eye.x);
    const float vars[4] = {2.0f, 90.0f, 0.014f, 0.4f};
    shaders->setVec4(water.vars, vars);
    const float u = scroll(t);
    glBegin(GL_QUADS);
    glTexCoord2f(u, u + 1.0f);
    glVertex3f(-700.0f, show::waterHeight, 700.0f);
    glTexCoord2f(u, u);
    glVertex3f(-700.0f, show::waterHeight, -700.0f);
    glTexCoord2f(u + 1.0f, u);
    glVertex3f(700.0f, show::waterHeight, -700.0f);
    glTexCoord2f(u + 1.0f, u + 1.0f);
    glVertex3f(700.0f, show::waterHeight, 700.0f);
    glEnd();
    engine->useNoProgram();
    glEnable(GL_CULL_FACE);

    finishFrame(grainBlurStep(), maskTexture);
}

void WaterScene::finish() {
    releaseEngine(true);
    releaseMaskProgram();
    shaders->release(water.program);
}

} // namespace halcyra
