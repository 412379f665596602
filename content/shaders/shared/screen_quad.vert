#version 110
// Screen quad: the vertex is its own clip-space position; texture coordinates span the viewport.
varying vec2 uv;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    uv = gl_Vertex.xy * 0.5 + 0.5;
}
