#include "scenes/CubeRainScene.h"

#include "core/DisplayConfig.h"
#include "math/Clamp.h"
#include "math/Mat4.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Model.h"

#include <GL/gl.h>

#include <cmath>

namespace halcyra {

constexpr int rainCubeCount = 500;

CubeRainScene::CubeRainScene() : ShowScene(name, length, 0.1f) {
    structure = model("mixmax3");
    cubeProgram.program = program("envmap");
    environmentTexture = texture("c_mmixb.png");
    maskProgram = program("mask");
    maskTexture = texture("mask1.png");
    cubes = std::make_unique<Cube[]>(rainCubeCount);
    for (int i = 0; i < rainCubeCount; ++i)
        cubes[i].build(1.0f);
}

void CubeRainScene::start() {
    pulse = Pulse{};
    engine->camera->selectTrack(2);
    engine->lights->disableAll();
    prepareEngine(true, 106.0f);
    engine->setClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    cubeProgram.build(*shaders);
    buildMaskProgram();
    setLook(0.33f, 0.83f, 1.0f, 0.0f);
}

void CubeRainScene::Pulse::advance(float dt) {
    pulse = clampFloat(pulse - dt * 0.0125f, 0.0f, 90.0f);
    beatClock += dt;
    if (beatClock > barLength) {
        beatFlags[0] = beatFlags[1] = beatFlags[2] = false;
        beatClock -= barLength;
    } else if (beatClock > 1578.95f && !beatFlags[2]) {
        beatFlags[2] = true;
        pulse += 4.0f;
    } else if (beatClock > 1240.6f && !beatFlags[1]) {
        beatFlags[1] = true;
        pulse += 4.0f;
    } else if (beatClock > 451.13f && !beatFlags[0]) {
        beatFlags[0] = true;
        pulse += 4.0f;
    }
}

float CubeRainScene::fovAt(float t) {
    if (t < 1000.0f)
        return 180.0f - t * 0.07f;
    if (24000.0f < t && t < 26000.0f)
        return 110.0f + 70.0f * std::sin((t - 24000.0f) * 0.0015707964f);
    if (t > length - 1000.0f)
        return 110.0f + 70.0f * std::sin((t - (length - 1000.0f)) * 0.0015707964f);
    return -1.0f;
}

Vec3 CubeRainScene::cubePosition(int i, float t) {
    const float f = static_cast<float>(i);
    const float a = (55.0f * f + t) * 0.002f;
    const int32_t fall = (static_cast<int32_t>(t) + 111 * i) % 15000;
    return Vec3{11.0f * std::sin(f) + 4.0f * std::sin(a), 80.0f - static_cast<float>(fall) * 0.013333334f,
                11.0f * std::cos(2.12f * f) + 4.0f * std::sin(1.3f * a)};
}

void CubeRainScene::update() {
    if (!replaying)
        structure->animate(time);
    engine->camera->update(frameTime);
    const Vec3& eye = engine->camera->eye;
    engine->lights->setPosition(0, eye.x, eye.y, eye.z, 1.0f);
    pulse.advance(frameTime);
    noiseStrength = noiseStrengthAt(time);
    if (const float fov = fovAt(time); fov > 0.0f)
        engine->setPerspective(fov, -1.0f);
}

void CubeRainScene::render() {
    const float t = time;
    setLightColors(0.8f + 0.2f * flicker(0.002f));

    // Nothing casts: the shadow map holds cleared depth, but its matrices still feed the texture matrix.
    beginShadowPass(engine->camera->target, 120.0f);
    endShadowPass();

    beginLitPass();
    engine->beginBumpShading();
    engine->drawModel(structure);
    engine->endBumpShading();

    const float specular[4] = {2.0f, 2.0f, 2.0f, 30.0f};
    useEnvironment(cubeProgram, environmentTexture, specular, 0.4f);
    for (int i = 0; i < rainCubeCount; ++i) {
        const float f = static_cast<float>(i);
        shaders->setVec3(cubeProgram.diffuse, cubeColors().rgb[i % 3]);
        Cube& cube = cubes[i];
        cube.position = cubePosition(i, t);
        cube.rotation = Mat4::rotationXYZ(0.05f * f, (33.0f * f + t) * 0.09090909f + f,
                                          t * 0.11111111f + 180.0f * std::sin(f));
        cube.size = 1.0f + 0.2f * pulse.pulse;
        engine->trianglesDrawn += cube.draw();
    }
    engine->useNoProgram();

    setPointAttenuation(0.01f);
    glColor3f(0.7f, 0.7f, 0.8f);
    engine->setPointSize(pulse.pulse + 10.0f);
    drawPointColumn(t, 2000, 0.0f, 0.0f);
    setPointAttenuation(0.0f);

    finishFrame(grainBlurStep(), maskTexture);
}

void CubeRainScene::finish() {
    releaseEngine(true);
    shaders->release(cubeProgram.program);
    releaseMaskProgram();
}

} // namespace halcyra
