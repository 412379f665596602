#version 110
// The greeting cube in world coordinates, with its face normals and texture coordinates.
varying vec2 faceUv;
varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec4 clipPosition;

void main() {
    faceUv = gl_MultiTexCoord0.xy;
    worldPosition = gl_Vertex.xyz;
    worldNormal = gl_Normal;
    clipPosition = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_Position = clipPosition;
}
