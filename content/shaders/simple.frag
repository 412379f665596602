#version 110
// The end logo appearing out of the white screen as factor falls from 1 to 0.
uniform sampler2D tex;
uniform float factor;
varying vec2 uv;

void main() {
    float f = factor * factor * (3.0 - 2.0 * factor);
    gl_FragColor = vec4(mix(texture2D(tex, uv).rgb, vec3(1.0), f), 1.0);
}
