#version 110
// Screen quad with texture coordinates across the view.
varying vec2 uv;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    uv = gl_MultiTexCoord0.xy;
}
