#version 110
// A picture blurred more where its depth lies farther from the focus plane.
uniform sampler2D tex;
uniform sampler2D depthTex;
uniform float focus;
uniform float range;
uniform vec2 texel;
varying vec2 uv;

void main() {
    float amount = clamp(abs(texture2D(depthTex, uv).r - focus) / max(range, 0.0001), 0.0, 1.0);
    vec2 step = texel * amount * 3.0;
    vec4 sum = texture2D(tex, uv) * 0.4;
    sum += texture2D(tex, uv + vec2(step.x, 0.0)) * 0.15;
    sum += texture2D(tex, uv - vec2(step.x, 0.0)) * 0.15;
    sum += texture2D(tex, uv + vec2(0.0, step.y)) * 0.15;
    sum += texture2D(tex, uv - vec2(0.0, step.y)) * 0.15;
    gl_FragColor = sum;
}
