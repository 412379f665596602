#version 110
// Bright pass at half size: a 2 × 2 box of the full-size image, keeping only what rises above the
// threshold, scaled by invRange so that the glow fits the half-size target's range.
uniform sampler2D Image;
uniform float halfPixel;
uniform float invRange;
varying vec2 uv;

const float threshold = 0.6;

void main() {
    vec3 c = texture2D(Image, uv + vec2(-halfPixel, -halfPixel)).rgb;
    c += texture2D(Image, uv + vec2(halfPixel, -halfPixel)).rgb;
    c += texture2D(Image, uv + vec2(-halfPixel, halfPixel)).rgb;
    c += texture2D(Image, uv + vec2(halfPixel, halfPixel)).rgb;
    c *= 0.25;
    vec3 bright = max(c - vec3(threshold), vec3(0.0));
    gl_FragColor = vec4(bright * invRange, 1.0);
}
