#version 110
// Bright pass at half size: a 2 × 2 box of the full-size image, keeping what rises above the threshold
// with a soft knee below it (so bright things bloom without a hard edge between what glows and what does
// not), scaled by invRange so that the glow fits the half-size target's range.
uniform sampler2D Image;
uniform float halfPixel;
uniform float invRange;
varying vec2 uv;

const float threshold = 0.6;
const float knee = 0.35;

void main() {
    // halfPixel is half a texel across; a target that is not square has texels of another height, which
    // the quad's own rate of change gives.
    vec2 texel = vec2(halfPixel, halfPixel * abs(dFdy(uv.y) / dFdx(uv.x)));
    vec3 c = texture2D(Image, uv + vec2(-texel.x, -texel.y)).rgb;
    c += texture2D(Image, uv + vec2(texel.x, -texel.y)).rgb;
    c += texture2D(Image, uv + vec2(-texel.x, texel.y)).rgb;
    c += texture2D(Image, uv + vec2(texel.x, texel.y)).rgb;
    c *= 0.25;
    float peak = max(c.r, max(c.g, c.b));
    // Quadratic from threshold − knee to threshold + knee, linear above.
    float soft = clamp(peak - threshold + knee, 0.0, 2.0 * knee);
    soft = soft * soft / (4.0 * knee);
    float weight = max(soft, peak - threshold) / max(peak, 1e-4);
    gl_FragColor = vec4(c * weight * invRange, 1.0);
}
