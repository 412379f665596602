#version 110
// Tonemap: the scene image times the exposure plus the glow times its strength (the glow was stored
// divided by four times the range), mapped into 0 … 1 with a soft exponential shoulder.
uniform sampler2D Base;
uniform sampler2D Blur;
uniform float exposure;
uniform float blurStrength;
uniform float range;
varying vec2 uv;

void main() {
    vec3 base = texture2D(Base, uv).rgb * exposure;
    vec3 glow = texture2D(Blur, uv).rgb * (4.0 * range) * blurStrength;
    vec3 c = base + glow;
    gl_FragColor = vec4(vec3(1.0) - exp(-c), 1.0);
}
