#version 110
// Per-pixel lighting of textured geometry in eye space, with the fixed-function light 0.
varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 uv;

void main() {
    eyePosition = (gl_ModelViewMatrix * gl_Vertex).xyz;
    eyeNormal = gl_NormalMatrix * gl_Normal;
    uv = gl_MultiTexCoord0.xy;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
