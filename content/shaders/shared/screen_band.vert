#version 110
// A band of the screen: the vertex is its own clip-space position.
varying vec2 uv;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    uv = gl_MultiTexCoord0.xy;
}
