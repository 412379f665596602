#include "scenes/ShowScene.h"

#include "assets/TextureManager.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Model.h"
#include "scene3ds/ModelLibrary.h"
#include "show/ShowLayout.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <string>

namespace halcyra {

const CubeColors& cubeColors() {
    static const CubeColors colors = {{{0.0f, 0.2f, 0.3f}, {0.0f, 0.2f, 0.3f}, {0.06f, 0.06f, 0.06f}}};
    return colors;
}

float noiseStrengthAt(float time) {
    const int32_t intoWindow = static_cast<int32_t>(time) % static_cast<int32_t>(show::phraseMs);
    const float level = 1.0f - static_cast<float>(intoWindow) * 0.000069271264f;
    return std::fmin(std::fmax(level, 0.7f), 1.0f) - 0.6f;
}

int32_t cloudIndex(float time, int32_t i, int32_t m) {
    return static_cast<int32_t>(time * 0.14285715f + static_cast<float>(i)) % m;
}

QuadCorners fullScreenQuad() {
    return QuadCorners{{0.0f, 0.0f, 1.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f}};
}

ShowScene::ShowScene(const char* name, float length, float noise) : sceneName(name) {
    fadeInLength = 0;
    fadeOutLength = 0;
    endTime = length;
    engine = &Engine::instance();
    shaders = engine->shaders;
    noiseTexture = texture("c_noise.jpg");
    noiseStrength = noise;
}

TextureBinding ShowScene::texture(const char* name) {
    Texture* found = engine->textures->find(name);
    if (found == nullptr)
        fatalError(std::string("The ") + sceneName + " scene cannot be built without the texture \"" + name +
                   "\".");
    return engine->uploadTexture(*found, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
}

ShaderProgram* ShowScene::program(const char* key) {
    ShaderProgram* found = shaders->find(key);
    if (found == nullptr)
        fatalError(std::string("The ") + sceneName + " scene cannot be built without the program \"" + key +
                   "\".");
    return found;
}

Model* ShowScene::model(const char* name) {
    Model* found = engine->models->find(name);
    if (found == nullptr)
        fatalError(std::string("The ") + sceneName + " scene cannot be built without the model \"" + name +
                   "\".");
    return found;
}

Mesh* ShowScene::mesh(Model* owner, int32_t index) {
    Mesh* found = owner->meshes.at(index);
    if (found == nullptr)
        fatalError(std::string("The ") + sceneName + " scene cannot be built: the model \"" + owner->name +
                   "\" has no meshes.");
    return found;
}

void EnvironmentProgram::build(ShaderManager& shaders) {
    shaders.build(program);
    lightPos = shaders.uniformLocation(program, "lightPos");
    camPos = shaders.uniformLocation(program, "camPos");
    diffuse = shaders.uniformLocation(program, "diffuse");
    specular = shaders.uniformLocation(program, "specular");
    envMap = shaders.uniformLocation(program, "EnvMap");
    mixval = shaders.uniformLocation(program, "mixval");
}

void BandProgram::build(ShaderManager& shaders) {
    shaders.build(program);
    tex = shaders.uniformLocation(program, "tex");
    factor = shaders.uniformLocation(program, "factor");
}

void WaterProgram::build(ShaderManager& shaders) {
    shaders.build(program);
    reflection = shaders.uniformLocation(program, "reflection");
    normalMap = shaders.uniformLocation(program, "normalMap");
    dudv = shaders.uniformLocation(program, "dudv");
    camPos = shaders.uniformLocation(program, "camPos");
    lightPos = shaders.uniformLocation(program, "lightPos");
    vars = shaders.uniformLocation(program, "vars");
    bottom = shaders.uniformLocation(program, "bottom");
    depth = shaders.uniformLocation(program, "depth");
}

void ShowScene::prepareEngine(bool bumpShading, float fov) {
    if (bumpShading)
        engine->prepareBumpProgram();
    engine->prepareHdrPrograms();
    engine->dofPlanes[0] = 20.0f;
    engine->dofPlanes[1] = 100.0f;
    engine->dofPlanes[2] = 300.0f;
    engine->setPerspective(fov, -1.0f);
}

void ShowScene::releaseEngine(bool bumpShading) {
    if (bumpShading)
        engine->releaseBumpProgram();
    engine->releaseHdrPrograms();
}

void ShowScene::setLook(float exposure, float blurStrength, float lightLevel, float ambientLevel) {
    DisplayConfig& look = DisplayConfig::instance();
    look.hdrExposure = exposure;
    look.hdrBlurStrength = blurStrength;
    look.lightLevel = lightLevel;
    look.ambientLevel = ambientLevel;
    look.hdrEnabled = 1;
}

void ShowScene::useEnvironment(const EnvironmentProgram& environment, TextureBinding picture,
                               const float* specular, float mixval) {
    engine->useProgram(environment.program);
    engine->queueTexture(environment.envMap, picture);
    engine->bindQueuedTextures();
    shaders->setVec3(environment.lightPos, engine->lights->position(0));
    shaders->setVec3(environment.camPos, &engine->camera->eye.x);
    shaders->setVec4(environment.specular, specular);
    shaders->setFloat(environment.mixval, mixval);
}

void ShowScene::drawScreenQuad(const QuadCorners& corners) {
    static const float x[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    static const float y[4] = {1.0f, -1.0f, -1.0f, 1.0f};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(corners.u[i], corners.v[i]);
        glVertex2f(x[i], y[i]);
    }
    glEnd();
}

void ShowScene::drawBand() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 0.5f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -0.5f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, -0.5f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 0.5f);
    glEnd();
}

void ShowScene::drawBandPicture(const BandProgram& band, TextureBinding picture, float factor) {
    engine->useProgram(band.program);
    engine->queueTexture(band.tex, picture);
    engine->bindQueuedTextures();
    shaders->setFloat(band.factor, factor);
    drawBand();
    engine->useNoProgram();
}

void ShowScene::buildMaskProgram() {
    shaders->build(maskProgram);
    maskBaseLocation = shaders->uniformLocation(maskProgram, "base");
    maskMaskLocation = shaders->uniformLocation(maskProgram, "mask");
    maskColorAdjustLocation = shaders->uniformLocation(maskProgram, "colorAdjust");
    maskFadeLocation = shaders->uniformLocation(maskProgram, "fade");
}

void ShowScene::releaseMaskProgram() {
    shaders->release(maskProgram);
}

void ShowScene::setLightColors(float flicker) {
    const DisplayConfig& look = DisplayConfig::instance();
    const float l = look.lightLevel;
    const float a = look.ambientLevel;
    engine->lights->setDiffuse(0, l, flicker * l, flicker * l, 1.0f);
    engine->lights->setAmbient(0, a, a, a, 1.0f);
}

void ShowScene::beginShadowPass(Vec3 target, float fov) {
    const float* light = engine->lights->position(0);
    engine->beginShadowPass(light[0], light[1], light[2], target.x, target.y, target.z, fov);
    glGetFloatv(GL_PROJECTION_MATRIX, shadowProjection);
    glGetFloatv(GL_MODELVIEW_MATRIX, shadowModelview);
}

void ShowScene::endShadowPass() {
    engine->endShadowPass();
}

void ShowScene::loadTextureMatrix(const float* projection, const float* modelview) {
    // The lit pass reads the matrix of texture unit 0, whichever unit the pass before left active.
    GlExtensions::instance().glActiveTextureARB(GL_TEXTURE0_ARB);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(projection);
    glMultMatrixf(modelview);
    glMatrixMode(GL_MODELVIEW);
}

void ShowScene::beginLitPass() {
    engine->passTimes.mark(Pass::Scene);
    engine->loadCameraView();
    engine->clear();
    engine->hdrTarget->bind();
    engine->hdrTarget->setDrawBuffer(DisplayConfig::instance().hdrEnabled != 0 ? GL_COLOR_ATTACHMENT1_EXT
                                                                               : GL_COLOR_ATTACHMENT0_EXT);
    engine->clear();
    loadTextureMatrix(shadowProjection, shadowModelview);
}

void ShowScene::finishFrame(float blurStep, TextureBinding mask) {
    engine->hdrTarget->unbind();
    glDisable(GL_DEPTH_TEST);
    const DisplayConfig& look = DisplayConfig::instance();
    if (look.hdrEnabled != 0)
        engine->applyHdr(look.hdrExposure + 0.04f * flicker(0.033333335f),
                         look.hdrBlurStrength + 0.02f * flicker(0.01f), look.hdrRange, false);
    const int result = engine->blurPasses(blurStep, engine->hdrTarget->textures[0], 4, false);
    drawMaskComposite(engine->blurTarget->textures[result], mask, fullScreenQuad());
}

void ShowScene::drawMaskComposite(TextureBinding base, TextureBinding mask, const QuadCorners& corners) {
    static const float one[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    engine->passTimes.mark(Pass::Mask);
    engine->useProgram(maskProgram);
    engine->queueTexture(maskBaseLocation, base);
    engine->queueTexture(maskMaskLocation, mask);
    engine->bindQueuedTextures();
    shaders->setVec4(maskColorAdjustLocation, one);
    shaders->setFloat(maskFadeLocation, 0.0f);
    drawScreenQuad(corners);
    engine->useNoProgram();
}

void ShowScene::setPointAttenuation(float quadratic) {
    const float attenuation[3] = {1.0f, 0.0f, quadratic};
    if (const auto setParameter = GlExtensions::instance().glPointParameterfvARB)
        setParameter(GL_POINT_DISTANCE_ATTENUATION_ARB, attenuation);
}

void ShowScene::drawPointColumn(float time, int count, float driftP, float driftQ) {
    glBegin(GL_POINTS);
    for (int i = 0; i < count; ++i) {
        const float f = static_cast<float>(i);
        const float p = std::sin(f) + driftP;
        const float q = std::sin(1.3f * f) + driftQ;
        const float w = 1.0f - 0.002f * static_cast<float>(cloudIndex(time, i, 1000));
        glVertex3f(20.0f * p, 100.0f * q, 20.0f * w);
        glVertex3f(20.0f * q, 100.0f * w, 20.0f * p);
        glVertex3f(20.0f * w, 100.0f * q, 20.0f * p);
    }
    glEnd();
}

float ShowScene::standardBlurStep() const {
    return 0.01f * (1.0f + flicker(0.00083333335f));
}

float ShowScene::flicker(float k) const {
    const float t = flickerTime;
    const float wave = std::sin(k * t * t);
    return DisplayConfig::instance().gentle ? gentleFlicker * wave : wave;
}

} // namespace halcyra
