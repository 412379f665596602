#include "scenes/OpeningScene.h"

#include "core/DisplayConfig.h"
#include "math/Clamp.h"
#include "math/Mat4.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

namespace halcyra {

constexpr int fieldCubeCount = 1000;

OpeningScene::OpeningScene() : ShowScene(name, length, 0.14f) {
    titleTexture = texture("halcyra.png");
    environmentTexture = texture("c_noise.jpg");
    waterNormalTexture = texture("n_water.png");
    waterDistortionTexture = texture("d_water.png");
    maskTexture = texture("maskqz.png");
    waterFilter.program = program("water_filter");
    cubeProgram.program = program("envmap");
    maskProgram = program("mask");
    title.program = program("simple2");
    cubes = std::make_unique<Cube[]>(fieldCubeCount);
    for (int i = 0; i < fieldCubeCount; ++i)
        cubes[i].build(3.0f);
}

void OpeningScene::start() {
    engine->lights->disableAll();
    engine->lights->setPosition(0, 0.0f, 100.0f, -50.0f, 1.0f);
    engine->camera->setTarget(0.0f, 0.0f, 0.0f);

    waterFilter.build(*shaders);
    cubeProgram.build(*shaders);
    buildMaskProgram();

    title.build(*shaders);

    prepareEngine(false, 100.0f);
    engine->setClearColor(0.0f, 0.0f, 0.002f, 0.5f);
    setLook(1.1f, 1.0f, 1.0f, 0.01f);
}

Vec3 OpeningScene::eyeAt(float t) {
    return Vec3{50.0f * std::sin(t * 0.000125f), 50.0f * std::cos(t * 0.000093457944f),
                50.0f * std::sin(t * 0.00010752688f)};
}

void OpeningScene::update() {
    const Vec3 eye = eyeAt(time);
    engine->camera->setEye(eye.x, eye.y, eye.z);
}

float OpeningScene::titleFactor(float t) {
    return clampFloat((t - 14436.0f) * 0.00025f, 0.0f, 1.0f);
}

float OpeningScene::scrollU(float t) {
    return t * 0.000058823530f;
}

float OpeningScene::scrollW(float t) {
    return 0.1f * std::sin(scrollU(t) * 25.132742f);
}

void OpeningScene::render() {
    const DisplayConfig& look = DisplayConfig::instance();
    const float l = look.lightLevel;
    const float a = look.ambientLevel;
    engine->lights->setDiffuse(0, l, l, 0.9f * l, 1.0f);
    engine->lights->setAmbient(0, a, a, a, 1.0f);
    engine->loadCameraView();
    engine->clear();

    engine->passTimes.mark(Pass::Scene);
    if (time < titleTime) {
        engine->hdrTarget->bind();
        engine->hdrTarget->setDrawBuffer(GL_COLOR_ATTACHMENT1_EXT);
        engine->clear();
        loadTextureMatrix(textureMatrixA, textureMatrixB);
        drawSwarm();
        engine->hdrTarget->unbind();
        glDisable(GL_DEPTH_TEST);
        engine->applyHdr(look.hdrExposure, look.hdrBlurStrength, look.hdrRange, false);

        engine->passTimes.mark(Pass::Filter);
        engine->blurTarget->bind();
        engine->blurTarget->setDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
        engine->clear();
        glDisable(GL_CULL_FACE);
        engine->useProgram(waterFilter.program);
        engine->queueTexture(waterFilter.reflection, engine->hdrTarget->textures[0]);
        engine->queueTexture(waterFilter.normalMap, waterNormalTexture);
        engine->queueTexture(waterFilter.dudv, waterDistortionTexture);
        engine->queueTexture(waterFilter.bottom, maskTexture);
        engine->bindQueuedTextures();
        shaders->setVec3(waterFilter.lightPos, engine->lights->position(0));
        shaders->setVec3(waterFilter.camPos, &engine->camera->eye.x);
        const float vars[4] = {2.0f, 90.0f, a, 0.0f};
        shaders->setVec4(waterFilter.vars, vars);
        drawScreenQuad(fullScreenQuad());
        engine->useNoProgram();
        glEnable(GL_CULL_FACE);
        engine->blurTarget->unbind();

        const float u = scrollU(time);
        const float w = scrollW(time);
        drawMaskComposite(engine->blurTarget->textures[0], maskTexture,
                          QuadCorners{{u, u, u + 0.1f, u + 0.1f}, {1.0f - w, -w, -w, 1.0f - w}});
        return;
    }

    drawBandPicture(title, titleTexture, titleFactor(time));
}

void OpeningScene::drawSwarm() {
    const float t = time;
    const float specular[4] = {2.0f, 2.0f, 2.0f, 70.0f};
    useEnvironment(cubeProgram, environmentTexture, specular, 0.9f);
    for (int i = 0; i < fieldCubeCount; ++i) {
        const float f = static_cast<float>(i);
        shaders->setVec3(cubeProgram.diffuse, cubeColors().rgb[i % 3]);
        Cube& cube = cubes[i];
        cube.position = Vec3{80.0f * std::sin(f), 80.0f * std::sin(1.52f * f), 80.0f * std::cos(2.12f * f)};
        cube.rotation = Mat4::rotationXYZ(0.05f * f, (f + t) * 0.06666667f + f, 180.0f * std::sin(f));
        engine->trianglesDrawn += cube.draw();
    }
    engine->useNoProgram();

    glColor3f(0.7f, 0.7f, 0.8f);
    engine->setPointSize(3.0f);
    glBegin(GL_POINTS);
    for (int i = 0; i < 2000; ++i) {
        const float f = static_cast<float>(i);
        const float a = 100.0f * std::sin(f);
        const float b = 100.0f * std::sin(1.3f * f);
        const float h = 100.0f - 0.2f * static_cast<float>(cloudIndex(t, i, 1000));
        glVertex3f(a, b, h);
        glVertex3f(b, h, a);
        glVertex3f(h, b, a);
    }
    glEnd();

    glColor3f(0.0f, 0.0f, 0.0f);
    engine->setLineWidth(1.2f);
    glBegin(GL_LINES);
    for (int i = 0; i < fieldCubeCount; ++i) {
        const Vec3& p = cubes[i].position;
        glVertex3f(p.x, p.y, p.z);
        glVertex3f(p.x, 300.0f, p.z);
    }
    glEnd();
}

void OpeningScene::finish() {
    releaseEngine(false);
    shaders->release(waterFilter.program);
    shaders->release(cubeProgram.program);
    releaseMaskProgram();
    shaders->release(title.program);
}

} // namespace halcyra
