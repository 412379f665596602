#version 110
// One blur pass: the centre and four samples along one axis, weighted like a small Gaussian.
uniform sampler2D tex;
uniform vec2 s0;
uniform vec2 s1;
uniform vec2 s2;
uniform vec2 s3;
varying vec2 uv;

void main() {
    vec4 sum = texture2D(tex, uv) * 0.28;
    sum += texture2D(tex, uv + s0) * 0.24;
    sum += texture2D(tex, uv + s2) * 0.24;
    sum += texture2D(tex, uv + s1) * 0.12;
    sum += texture2D(tex, uv + s3) * 0.12;
    gl_FragColor = sum;
}
