#include "scenes/CreditsScene.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "math/Clamp.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Mesh.h"
#include "scene3ds/Model.h"
#include "show/ShowLayout.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstring>

namespace halcyra {

CreditsScene::CreditsScene() : ShowScene(name, length, 0.1f) {
    creditsModel = model("credits");
    creditsMesh1 = mesh(creditsModel, 1);
    creditsMesh0 = mesh(creditsModel, 0);
    helpersModel = model("helpers");
    helpersMesh = mesh(helpersModel, 0);
    if (helpersMesh->vertexCount < 4)
        fatalError("The credits scene cannot be built: the model \"helpers\" needs four vertices.");
    maskProgram = program("mask");
    maskTexture = texture("mask2.png");
}

void CreditsScene::start() {
    beat = Beat{};
    engine->camera->selectTrack(4);
    engine->lights->disableAll();
    engine->lights->setPosition(0, show::farLight.x, show::farLight.y, show::farLight.z, 1.0f);
    prepareEngine(true, 90.0f);
    engine->setClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    buildMaskProgram();
    setLook(0.5f, 1.05f, 1.0f, 0.04f);
}

void CreditsScene::update() {
    if (!replaying) {
        creditsModel->animate(time);
        helpersModel->animate(time);
    }
    engine->camera->update(frameTime);
    noiseStrength = noiseStrengthAt(time);
}

float CreditsScene::Beat::advance(float dt, float blurStrength) {
    beatClock += dt;
    sphereRadius -= dt * 0.01f;
    blurStrength = clampFloat(blurStrength + dt * 0.0011111111f, 0.0f, 1.05f);
    if (beatClock > beatLength) {
        beatClock -= beatLength;
        lineShift = (lineShift + 1) % 3;
        blurStrength -= 0.2f;
        sphereRadius += 5.5f;
    }
    return blurStrength;
}

float CreditsScene::lastSecondBlurStrength(float t) {
    return 1.05f - (t - (length - 1000.0f)) * 0.0004f;
}

void CreditsScene::torusPoint(float t, int i, float baseRadius, float (&out)[3]) {
    const float f = static_cast<float>(i);
    const float a = f * 0.15915494f;
    const float s1 = std::sin(a);
    const float c1 = std::cos(a);
    const float s2 = std::sin(t * 0.0001f + f);
    const float c2 = std::cos(t * 0.0001f + f);
    const float r = 20.0f * s1 + baseRadius;
    out[0] = 10.0f * std::sin(t * 0.0025f + f) + (c2 * c1 + s2 * s1) * r;
    out[1] = 10.0f * std::sin(t * 0.0014285714f + f) + (s2 * c1 + c2 * s1) * r;
    out[2] = c2 * s2 * s1 * r;
}

void CreditsScene::drawTorus(Engine& engine, float t, float baseRadius) {
    glColor3f(1.0f, 1.0f, 1.0f);
    engine.setPointSize(13.0f);
    glBegin(GL_POINTS);
    for (int i = 0; i < 10000; ++i) {
        float p[3];
        torusPoint(t, i, baseRadius, p);
        glVertex3f(p[0], p[1], p[2]);
        glVertex3f(p[1], p[2], p[0]);
        glVertex3f(p[2], p[1], p[0]);
    }
    glEnd();
}

void CreditsScene::stepBeat() {
    const float t = time;
    DisplayConfig& look = DisplayConfig::instance();
    if (t > beatStart)
        look.hdrBlurStrength = beat.advance(frameTime, look.hdrBlurStrength);
    if (endTime - 1000.0f < t)
        look.hdrBlurStrength = lastSecondBlurStrength(t);
}

void CreditsScene::render() {
    const float t = time;
    setLightColors(0.8f + 0.2f * flicker(0.002f));
    stepBeat();

    const bool whole = t < beatStart;
    beginShadowPass(Vec3{0.0f, 0.0f, 0.0f}, 90.0f);
    if (whole) {
        engine->drawModelDepth(creditsModel);
    } else {
        engine->drawMeshDepth(creditsMesh1);
        engine->drawMeshDepth(creditsMesh0);
    }
    endShadowPass();

    beginLitPass();
    engine->beginBumpShading();
    if (whole) {
        engine->drawModel(creditsModel);
    } else {
        engine->drawMesh(creditsMesh1);
        engine->drawMesh(creditsMesh0);
    }
    engine->endBumpShading();

    setPointAttenuation(0.001f);
    drawTorus(*engine, t, show::torusRadius);

    const float r = beat.sphereRadius;
    if (r > 0.0f) {
        engine->setPointSize(r);
        glBegin(GL_POINTS);
        for (int i = 0; i < 10000; ++i) {
            const float f = static_cast<float>(i);
            const float a = f * 0.15915494f;
            const float s = std::sin(a);
            const float q = std::cos(a);
            const float s2 = std::sin(t * 0.0001f + f);
            const float c2 = std::cos(t * 0.0001f + f);
            // The sphere stands on the vertical axis.
            glVertex3f(std::fabs(q) * r * s2, s * r + show::sphereCentre.y, std::fabs(q) * r * c2);
        }
        glEnd();
    }

    if (t > beatStart) {
        const GlExtensions& ext = GlExtensions::instance();
        engine->setLineWidth(12.0f);
        ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, helpersMesh->positionBuffer);
        if (const void* mapped = ext.glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_READ_ONLY_ARB)) {
            float e[4][3];
            std::memcpy(e, mapped, sizeof e);
            glBegin(GL_LINES);
            for (int i = 0; i < 4; ++i) {
                for (int j = 0; j < 2; ++j) {
                    if (j == i)
                        continue;
                    glVertex3fv(e[i]);
                    if (j == 1)
                        glVertex3f(show::sphereCentre.x, show::sphereCentre.y, show::sphereCentre.z);
                    else
                        glVertex3fv(e[(beat.lineShift + i + 1) % 4]);
                }
            }
            glEnd();
            ext.glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
        }
        ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    }
    setPointAttenuation(0.0f);

    finishFrame(standardBlurStep(), maskTexture);
}

void CreditsScene::finish() {
    releaseEngine(true);
    releaseMaskProgram();
}

} // namespace halcyra
