#include "scenes/GreetingsScene.h"

#include "core/DisplayConfig.h"
#include "math/Mat4.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Model.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <string>

namespace halcyra {

const char* const GreetingsScene::groups[groupCount] = {"tamrik", "ovomel", "sundrift", "yrda",
                                                        "belko",  "zorda",  "kivo",     "lanterna"};

GreetingsScene::GreetingsScene() : ShowScene(name, length, 0.14f) {
    maskTexture = texture("mask2.png");
    mirror.program = program("mirror");
    maskProgram = program("mask");
    structure = model("mixmax3");
    for (int g = 0; g < groupCount; ++g) {
        const std::string group = groups[g];
        colorTextures[g] = texture(("c_" + group + ".png").c_str());
        normalTextures[g] = texture(("n_" + group + ".png").c_str());
        distortionTextures[g] = texture(("d_" + group + ".png").c_str());
    }
    cubes = std::make_unique<Cube[]>(groupCount);
    for (int g = 0; g < groupCount; ++g) {
        cubes[g].build(cubeHalfEdge);
        cubes[g].position = cubeCentre;
    }
}

void GreetingsScene::start() {
    clocks = Clocks{};
    engine->lights->disableAll();
    engine->lights->setPosition(0, 0.0f, 100.0f, -50.0f, 1.0f);
    engine->camera->setTarget(0.0f, 0.0f, 0.0f);
    mirror.build(*shaders);
    buildMaskProgram();
    prepareEngine(true, 100.0f);
    engine->setClearColor(0.0f, 0.0f, 0.002f, 0.5f);
    setLook(0.84f, 1.2f, 1.0f, 0.0f);
}

void GreetingsScene::Clocks::advance(float dt) {
    greetClock += dt;
    cameraClock += dt;
    if (greetClock > greetingLength) {
        greetClock -= greetingLength;
        cameraClock += 3240.0f;
        greetIndex = (greetIndex + 1) % groupCount;
    }
}

Vec3 GreetingsScene::eyeAt(float c, float t) {
    const bool wide = !(t < widerOrbitTime);
    const float a = wide ? 17.0f : 11.0f;
    const float b = wide ? 11.0f : 10.0f;
    return Vec3{a * std::sin(c * 0.00025f), b * std::cos(c * 0.0001754386f),
                a * std::sin(c * 0.00018867925f)};
}

Mat4 GreetingsScene::cubeRotation(float t) {
    return Mat4::rotationXYZ(0.02f * t, 0.032258064f * t, 0.05f * t);
}

void GreetingsScene::update() {
    clocks.advance(frameTime);
    if (!replaying)
        structure->animate(time);
    const Vec3 eye = eyeAt(clocks.cameraClock, time);
    engine->camera->setEye(eye.x, eye.y, eye.z);
}

void GreetingsScene::drawPoints() {
    const float t = time;
    setPointAttenuation(0.01f);
    glColor3f(0.7f, 0.7f, 0.8f);
    engine->setPointSize(10.0f);
    const float driftP = 0.1f * std::sin(t * 0.00090909091f);
    const float driftQ = 0.1f * std::sin(t * 0.00076923077f);
    drawPointColumn(t, 4000, driftP, driftQ);
    setPointAttenuation(0.0f);
}

void GreetingsScene::render() {
    const float t = time;
    DisplayConfig& look = DisplayConfig::instance();
    const float l = look.lightLevel;
    const float a = look.ambientLevel;
    engine->lights->setDiffuse(0, l, l, 0.9f * l, 1.0f);
    engine->lights->setAmbient(0, a, a, a, 1.0f);

    const float* light = engine->lights->position(0);
    const Vec3& target = engine->camera->target;
    engine->beginShadowPass(light[0], light[1], light[2], target.x, target.y, target.z, 120.0f);
    engine->endShadowPass();
    engine->loadCameraView();
    engine->clear();
    engine->loadCameraView();
    engine->clear();

    // The bright copy the cube mirrors.
    engine->passTimes.mark(Pass::Mirror);
    RenderTarget& blur = *engine->blurTarget;
    blur.bind();
    blur.setDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    engine->clear();
    loadTextureMatrix(textureMatrixA, textureMatrixB);
    look.lightLevel = 14.0f;
    engine->lights->setDiffuse(0, 14.0f, 14.0f, 12.6f, 1.0f);
    engine->beginBumpShading();
    engine->drawModel(structure);
    engine->endBumpShading();
    drawPoints();
    look.lightLevel = 1.0f;
    engine->lights->setDiffuse(0, 1.0f, 1.0f, 0.9f, 1.0f);
    blur.unbind();

    engine->passTimes.mark(Pass::Scene);
    engine->hdrTarget->bind();
    engine->hdrTarget->setDrawBuffer(look.hdrEnabled != 0 ? GL_COLOR_ATTACHMENT1_EXT
                                                          : GL_COLOR_ATTACHMENT0_EXT);
    engine->clear();
    engine->beginBumpShading();
    engine->drawModel(structure);
    engine->endBumpShading();
    drawPoints();

    const int g = clocks.greetIndex;
    engine->useProgram(mirror.program);
    shaders->setVec3(mirror.lightPos, engine->lights->position(0));
    shaders->setVec3(mirror.camPos, &engine->camera->eye.x);
    const float vars[4] = {1.0f, 90.0f, 0.2f, 0.2f};
    shaders->setVec4(mirror.vars, vars);
    engine->queueTexture(mirror.reflection, blur.textures[0]);
    engine->queueTexture(mirror.depth, engine->shadowTarget->textures[0]);
    engine->queueTexture(mirror.normalMap, normalTextures[g]);
    engine->queueTexture(mirror.dudv, distortionTextures[g]);
    engine->queueTexture(mirror.bottom, colorTextures[g]);
    engine->bindQueuedTextures();
    cubes[g].rotation = cubeRotation(t);
    engine->trianglesDrawn += cubes[g].draw();
    engine->useNoProgram();

    finishFrame(grainBlurStep(), maskTexture);
}

void GreetingsScene::finish() {
    releaseEngine(true);
    shaders->release(mirror.program);
    releaseMaskProgram();
}

} // namespace halcyra
