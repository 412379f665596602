#version 110
// Geometry given in world coordinates (cubes and the metaball surface) under the camera's view.
varying vec3 worldPosition;
varying vec3 worldNormal;

void main() {
    worldPosition = gl_Vertex.xyz;
    worldNormal = gl_Normal;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
