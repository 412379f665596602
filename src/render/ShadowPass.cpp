#include "render/Engine.h"

#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"

#include <GL/gl.h>

namespace halcyra {

void Engine::beginShadowPass(float lightX, float lightY, float lightZ, float targetX, float targetY,
                             float targetZ, float fov) {
    passTimes.mark(Pass::Shadow);
    savedEye[0] = camera->eye.x;
    savedEye[1] = camera->eye.y;
    savedEye[2] = camera->eye.z;
    savedTarget[0] = camera->target.x;
    savedTarget[1] = camera->target.y;
    savedTarget[2] = camera->target.z;
    savedFov = camera->fieldOfView;
    camera->setEye(lightX, lightY, lightZ);
    camera->setTarget(targetX, targetY, targetZ);
    // The shadow map is square.
    setPerspective(fov, 1.0f);
    inShadowPass = true;
    shadowTarget->bind();
    loadCameraView();
    clear();
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_CULL_FACE);
    // With back faces culled this keeps the casters' far sides, away from the light, in the depth map.
    glFrontFace(GL_CW);
}

void Engine::endShadowPass() {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    shadowTarget->unbind();
    inShadowPass = false;
    camera->setEye(savedEye[0], savedEye[1], savedEye[2]);
    camera->setTarget(savedTarget[0], savedTarget[1], savedTarget[2]);
    setPerspective(savedFov, -1.0f);
    glFrontFace(GL_CCW);
}

} // namespace halcyra
