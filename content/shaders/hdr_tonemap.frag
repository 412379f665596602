#version 110
// Tonemap: the scene image plus its glow (stored divided by four times the range, and weighted by
// blurStrength), scaled by the exposure against the range and mapped into 0 … 1 with a soft exponential
// shoulder. With the range of 16 an exposure of 4 leaves a linear 1 at about two thirds of white.
uniform sampler2D Base;
uniform sampler2D Blur;
uniform float exposure;
uniform float blurStrength;
uniform float range;
varying vec2 uv;

void main() {
    vec3 base = texture2D(Base, uv).rgb;
    vec3 glow = texture2D(Blur, uv).rgb * (4.0 * range);
    vec3 c = (base + glow * blurStrength) * exposure * (4.0 / range);
    gl_FragColor = vec4(vec3(1.0) - exp(-c), 1.0);
}
