#version 110
// The greeting cube in world coordinates, with its face normals and texture coordinates. As the eye's
// orbit swings out from the point it looks at (the origin), the cube grows with the distance, up to 1.5
// times, so that the greeting keeps about the size it has from 11 away; the eye stays as far outside the
// grown cube as it passes the cube when it comes closest.
uniform vec3 camPos;
varying vec2 faceUv;
varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec4 clipPosition;

void main() {
    float grow = clamp(length(camPos) / 11.0, 1.0, 1.5);
    vec4 position = vec4(gl_Vertex.xyz * grow, 1.0);
    faceUv = gl_MultiTexCoord0.xy;
    worldPosition = position.xyz;
    worldNormal = gl_Normal;
    clipPosition = gl_ModelViewProjectionMatrix * position;
    gl_Position = clipPosition;
}
