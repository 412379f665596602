#version 110
// The title card fading in from black as factor rises from 0 to 1.
uniform sampler2D tex;
uniform float factor;
varying vec2 uv;

void main() {
    float f = factor * factor * (3.0 - 2.0 * factor);
    gl_FragColor = vec4(texture2D(tex, uv).rgb * f, 1.0);
}
