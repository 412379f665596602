#version 110
// A picture with its glow added.
uniform sampler2D base;
uniform sampler2D glow;
uniform float strength;
varying vec2 uv;

void main() {
    gl_FragColor = vec4(texture2D(base, uv).rgb + texture2D(glow, uv).rgb * strength, 1.0);
}
