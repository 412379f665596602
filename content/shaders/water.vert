#version 110
// The water plane in world coordinates. Where it lands on the screen is passed on, so that the two
// pictures rendered from the same camera can be read at the pixel.
varying vec2 waterUv;
varying vec4 clipPosition;
varying vec3 worldPosition;

void main() {
    waterUv = gl_MultiTexCoord0.xy;
    worldPosition = gl_Vertex.xyz;
    clipPosition = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_Position = clipPosition;
}
