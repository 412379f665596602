#include "timeline/ShowState.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "math/CameraTrack.h"
#include "render/Engine.h"
#include "scene3ds/Camera.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace halcyra {

void ShowState::capture() {
    const DisplayConfig& config = DisplayConfig::instance();
    look[0] = config.hdrExposure;
    look[1] = config.hdrRange;
    look[2] = config.hdrBlurStrength;
    look[3] = config.lightLevel;
    look[4] = config.ambientLevel;
    hdrEnabled = config.hdrEnabled;
    const Engine& engine = Engine::instance();
    const Camera& camera = *engine.camera;
    fieldOfView = camera.fieldOfView;
    eye = camera.eye;
    target = camera.target;
    up = camera.up;
    track = camera.currentTrack;
    trackActive = track != nullptr && track->active;
    std::copy(std::begin(engine.lights->lights), std::end(engine.lights->lights), lights);
    std::copy(std::begin(engine.dofPlanes), std::end(engine.dofPlanes), dofPlanes);
    const Engine::Viewport last = engine.viewport();
    viewport[0] = last.x;
    viewport[1] = last.y;
    viewport[2] = last.width;
    viewport[3] = last.height;
    glGetIntegerv(GL_VIEWPORT, glViewport);
    screenWidth = engine.screenWidth;
    screenHeight = engine.screenHeight;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    const GlExtensions& ext = GlExtensions::instance();
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &activeTexture);
    for (int unit = 0; unit < 4; ++unit) {
        ext.glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glGetFloatv(GL_TEXTURE_MATRIX, texture[unit]);
    }
    ext.glActiveTextureARB(static_cast<GLenum>(activeTexture));
    taken = true;
}

void ShowState::restore() const {
    if (!taken)
        return;
    DisplayConfig& config = DisplayConfig::instance();
    config.hdrExposure = look[0];
    config.hdrRange = look[1];
    config.hdrBlurStrength = look[2];
    config.lightLevel = look[3];
    config.ambientLevel = look[4];
    config.hdrEnabled = hdrEnabled;
    Engine& engine = Engine::instance();
    Camera& camera = *engine.camera;
    camera.fieldOfView = fieldOfView;
    camera.eye = eye;
    camera.target = target;
    camera.up = up;
    camera.currentTrack = track;
    if (track != nullptr)
        track->active = trackActive;
    std::copy(std::begin(lights), std::end(lights), engine.lights->lights);
    std::copy(std::begin(dofPlanes), std::end(dofPlanes), engine.dofPlanes);
    // Adaptive quality may have drawn the picture at another size since: a viewport kept over the whole
    // picture is the whole picture at its size now.
    const bool whole =
        viewport[0] == 0 && viewport[1] == 0 && viewport[2] == screenWidth && viewport[3] == screenHeight;
    if (whole)
        engine.setViewport(0, 0, engine.screenWidth, engine.screenHeight);
    else
        engine.setViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    const bool wholeGl = glViewport[0] == 0 && glViewport[1] == 0 && glViewport[2] == screenWidth &&
                         glViewport[3] == screenHeight;
    if (wholeGl)
        ::glViewport(0, 0, engine.screenWidth, engine.screenHeight);
    else
        ::glViewport(glViewport[0], glViewport[1], glViewport[2], glViewport[3]);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    const GlExtensions& ext = GlExtensions::instance();
    for (int unit = 0; unit < 4; ++unit) {
        ext.glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(texture[unit]);
    }
    ext.glActiveTextureARB(static_cast<GLenum>(activeTexture));
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview);
}

} // namespace halcyra
