#version 110
// Tonemap: the scene image plus its glow (stored divided by four times the range, and weighted by
// blurStrength), scaled by the exposure and mapped to the screen by a filmic curve: a toe that keeps the
// blacks deep, a long shoulder that rolls highlights off into white instead of clipping them, a little
// more colour, and a light display gamma.
// The scenes' exposures run from 2.5 to 21; their fourth root keeps their order but narrows the span, so
// the models' shared surfaces read alike from scene to scene and none sinks into the dark.
// The lit programs leave each pixel's defocus in alpha above 1 (1 in focus, 2 fully out of it; the clear
// colour, below 0.75, lies at infinity); the result keeps half of it in alpha for the blur.
uniform sampler2D Base;
uniform sampler2D Blur;
uniform float exposure;
uniform float blurStrength;
uniform float range;
varying vec2 uv;

const float exposureScale = 1.75;
const float saturation = 1.15;

void main() {
    vec4 scene = texture2D(Base, uv);
    // What the scene left at its clear colour (alpha below 1) is kept darker than the lit world, and
    // darker still towards the top of the picture, like a sky deepening away from its horizon. A clear
    // colour of neutral grey is the show's last light instead, rising to the white of the end screen: it
    // is shown evenly over the picture, from black to white as the grey rises from 0 to 0.4.
    vec3 base = scene.rgb;
    if (scene.a < 0.75) {
        base *= 0.35 * mix(1.2, 0.5, uv.y);
        float grey = min(scene.r, min(scene.g, scene.b));
        if (grey > 0.0) {
            float tint = max(scene.r, max(scene.g, scene.b)) - grey;
            float light = smoothstep(0.0, 0.4, grey) * (1.0 - clamp(tint * 20.0, 0.0, 1.0));
            base = mix(base, vec3(5.0 * grey), light);
        }
    }
    vec3 glow = texture2D(Blur, uv).rgb * (4.0 * range);
    vec3 c = (base + glow * blurStrength) * exposureScale * sqrt(sqrt(exposure));
    vec3 mapped = clamp((c * (2.51 * c + 0.03)) / (c * (2.43 * c + 0.59) + 0.14), 0.0, 1.0);
    float luma = dot(mapped, vec3(0.2126, 0.7152, 0.0722));
    mapped = max(mix(vec3(luma), mapped, saturation), 0.0);
    float defocus = scene.a < 0.75 ? 1.0 : clamp(scene.a - 1.0, 0.0, 1.0);
    // The display gamma x^0.8, as 0.785 x^0.75 + 0.215 x: within 0.7 of a level of 255 over 0 ... 1, from
    // two square roots instead of a power.
    vec3 root = sqrt(mapped);
    vec3 display = 0.785 * root * sqrt(root) + 0.215 * mapped;
    gl_FragColor = vec4(display, 0.5 * defocus);
}
