#include "math/Cube.h"

#include <GL/gl.h>

namespace halcyra {

void Cube::build(float s) {
    firstSceneVector = {};
    position = {};
    size = s;
    rotation = Mat4::identity();
    secondSceneVector = {};
    thirdSceneVector = {};
}

void Cube::transform(CubeVertices& out) const {
    for (int n = 0; n < 8; ++n) {
        const Vec3 scaled = Vec3::scale(corners[n], size);
        out.corners[n] = Vec3::add(Mat4::transformPoint(rotation, scaled), position);
    }
    for (int f = 0; f < 6; ++f)
        out.normals[f] = Mat4::transformPoint(rotation, faceNormals[f]);
}

int32_t Cube::draw() const {
    CubeVertices world;
    transform(world);
    glBegin(GL_QUADS);
    for (int f = 0; f < 6; ++f) {
        glNormal3fv(&world.normals[f].x);
        for (int v = 0; v < 4; ++v) {
            glTexCoord2fv(&texCoords[4 * f + v].x);
            glVertex3fv(&world.corners[faceCorners[f][v]].x);
        }
    }
    glEnd();
    return 12;
}

} // namespace halcyra
