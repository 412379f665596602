#version 110
// Two pictures mixed by amount.
uniform sampler2D first;
uniform sampler2D second;
uniform float amount;
varying vec2 uv;

void main() {
    gl_FragColor = mix(texture2D(first, uv), texture2D(second, uv), amount);
}
