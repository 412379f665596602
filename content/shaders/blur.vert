#version 110
// Screen quad: the vertex is its own clip-space position; texture coordinates span the viewport. What the
// pass's steps alone decide is worked out here, once a corner instead of once a pixel (see blur.frag).
uniform vec2 s0;
varying vec2 uv;
// x: the scale that holds a step to the calm strength; y: 1 in a later pass of the picture's chain, else
// 0; z: the depth of field's reach at full defocus.
varying vec3 pass;

const float calmStep = 0.0003;
const float focusBase = 0.003;
const float focusGrowth = 0.6;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    uv = gl_Vertex.xy * 0.5 + 0.5;
    float near = max(abs(s0.x), abs(s0.y));
    float later = near <= 0.0065 && abs(near - 0.004) > 2e-9 ? 1.0 : 0.0;
    pass = vec3(min(1.0, calmStep / max(near, 1e-9)), later, 2.0 * (focusBase + focusGrowth * near));
}
