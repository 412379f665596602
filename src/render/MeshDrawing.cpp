#include "render/Engine.h"

#include "assets/ShaderManager.h"
#include "core/GlExtensions.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Mesh.h"
#include "scene3ds/Model.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

namespace halcyra {
namespace {

const void* byteOffset(size_t bytes) {
    return reinterpret_cast<const void*>(static_cast<uintptr_t>(bytes));
}

} // namespace

void Engine::beginBumpShading() {
    const GlExtensions& ext = GlExtensions::instance();
    useProgram(bumpProgram);
    const Light& light = lights->lights[0];
    const float eye[3] = {camera->eye.x, camera->eye.y, camera->eye.z};
    ext.glUniform3fvARB(bumpLocations.lightPos, 1, light.position);
    // The shader takes the eye position and forms the view direction per vertex.
    ext.glUniform3fvARB(bumpLocations.viewDir, 1, eye);
    ext.glUniform3fvARB(bumpLocations.ambient, 1, light.ambient);
    ext.glUniform3fvARB(bumpLocations.diffuse, 1, light.diffuse);
    ext.glUniform3fvARB(bumpLocations.dofPlanes, 1, dofPlanes);
    // A program without the attribute reports −1, which GL does not take as an array index.
    if (bumpLocations.tangent >= 0)
        ext.glEnableVertexAttribArrayARB(static_cast<GLuint>(bumpLocations.tangent));
    if (bumpLocations.binormal >= 0)
        ext.glEnableVertexAttribArrayARB(static_cast<GLuint>(bumpLocations.binormal));
    meshTextureCount = 3;
    useTangents = true;
}

void Engine::endBumpShading() {
    const GlExtensions& ext = GlExtensions::instance();
    if (bumpLocations.tangent >= 0)
        ext.glDisableVertexAttribArrayARB(static_cast<GLuint>(bumpLocations.tangent));
    if (bumpLocations.binormal >= 0)
        ext.glDisableVertexAttribArrayARB(static_cast<GLuint>(bumpLocations.binormal));
    useNoProgram();
}

void Engine::drawMesh(const Mesh* mesh) {
    if (mesh == nullptr || !mesh->hasBuffers)
        return;
    const GlExtensions& ext = GlExtensions::instance();
    const MeshMaterial& material = *mesh->material;
    if (meshTextureCount > 0)
        queueTexture(bumpLocations.depth, shadowTarget->textures[0]);
    if (meshTextureCount > 1)
        queueTexture(bumpLocations.tex, material.texture);
    if (meshTextureCount > 2)
        queueTexture(bumpLocations.bump, material.bump);
    bindQueuedTextures();
    ext.glUniform3fvARB(bumpLocations.specular, 1, material.specular);
    ext.glUniform1fARB(bumpLocations.shininess, material.shininess);
    ext.glUniform1iARB(bumpLocations.receiveShadows, mesh->receivesShadows ? 1 : 0);

    const size_t v = static_cast<size_t>(mesh->vertexCount);
    if (useTangents) {
        ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh->tangentBuffer);
        if (bumpLocations.tangent >= 0)
            ext.glVertexAttribPointerARB(static_cast<GLuint>(bumpLocations.tangent), 3, GL_FLOAT, GL_FALSE, 0,
                                         byteOffset(0));
        if (bumpLocations.binormal >= 0)
            ext.glVertexAttribPointerARB(static_cast<GLuint>(bumpLocations.binormal), 3, GL_FLOAT, GL_FALSE,
                                         0, byteOffset(12 * v));
    }
    ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh->normalTexBuffer);
    glNormalPointer(GL_FLOAT, 0, byteOffset(0));
    glTexCoordPointer(2, GL_FLOAT, 0, byteOffset(12 * v));
    ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh->positionBuffer);
    glVertexPointer(3, GL_FLOAT, 0, byteOffset(0));
    ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, mesh->indexBuffer);
    glDrawElements(drawMode, 3 * mesh->triangleCount, GL_UNSIGNED_INT, byteOffset(0));
    trianglesDrawn += mesh->triangleCount;
    ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void Engine::drawMeshDepth(const Mesh* mesh) {
    if (mesh == nullptr || !mesh->castsShadows || !mesh->hasBuffers)
        return;
    const GlExtensions& ext = GlExtensions::instance();
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh->positionBuffer);
    glVertexPointer(3, GL_FLOAT, 0, byteOffset(0));
    ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, mesh->indexBuffer);
    glDrawElements(drawMode, 3 * mesh->triangleCount, GL_UNSIGNED_INT, byteOffset(0));
    ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void Engine::drawModel(const Model* model) {
    if (model == nullptr)
        return;
    const int32_t count = model->meshCount;
    for (int32_t i = 0; i < count; ++i)
        drawMesh(model->meshes.at(i));
}

void Engine::drawModelDepth(const Model* model) {
    if (model == nullptr)
        return;
    const int32_t count = model->meshCount;
    for (int32_t i = 0; i < count; ++i)
        drawMeshDepth(model->meshes.at(i));
}

} // namespace halcyra
