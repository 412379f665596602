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
    // What the scene left at its clear colour (alpha 0.5) is kept darker than the lit world, and darker
    // still towards the top of the picture, like a sky deepening away from its horizon: its blue a little,
    // its red and green much more, from a pale band low in the picture to a deep blue overhead. Alpha
    // between 0.5 and 1 lies part of the way there: the water fades so into the sky at its horizon.
    float skyward = clamp(2.0 - 2.0 * scene.a, 0.0, 1.0);
    float deepening = 0.35 * mix(1.2, 0.5, uv.y);
    vec2 dusk = 0.35 * mix(vec2(1.3, 1.65), vec2(0.08, 0.14), smoothstep(0.3, 0.85, uv.y));
    // A clear colour of neutral grey deepens evenly, without the dusk's tint, and is the show's last light,
    // rising to the white of the end screen: shown evenly over the picture, from black to white as the
    // grey rises from 0 to 0.4. Tinted clear colours keep their sky.
    float grey = min(scene.r, min(scene.g, scene.b));
    float neutral = 1.0 - clamp((max(scene.r, max(scene.g, scene.b)) - grey) * 20.0, 0.0, 1.0);
    vec3 sky = scene.rgb * mix(vec3(dusk, deepening), vec3(deepening), neutral);
    vec3 base = mix(scene.rgb, sky, skyward);
    if (grey > 0.0)
        base = mix(base, vec3(5.0 * grey), smoothstep(0.0, 0.4, grey) * neutral * skyward);
    vec3 glow = texture2D(Blur, uv).rgb * (4.0 * range);
    vec3 c = (base + glow * blurStrength) * exposureScale * sqrt(sqrt(exposure));
    vec3 mapped = clamp((c * (2.51 * c + 0.03)) / (c * (2.43 * c + 0.59) + 0.14), 0.0, 1.0);
    float luma = dot(mapped, vec3(0.2126, 0.7152, 0.0722));
    mapped = max(mix(vec3(luma), mapped, saturation), 0.0);
    float defocus = scene.a < 1.0 ? skyward : clamp(scene.a - 1.0, 0.0, 1.0);
    // The display gamma x^0.8, as 0.785 x^0.75 + 0.215 x: within 0.7 of a level of 255 over 0 ... 1, from
    // two square roots instead of a power.
    vec3 root = sqrt(mapped);
    vec3 display = 0.785 * root * sqrt(root) + 0.215 * mapped;
    gl_FragColor = vec4(display, 0.5 * defocus);
}
