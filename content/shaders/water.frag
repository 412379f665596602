#version 110
// Water: the mirrored picture and the picture below the surface, both rippled by the waves, mixed by a
// Fresnel term, with the light's glint and a sparkle on the wave faces that catch it. The water keeps
// under half of what it mirrors, so it lies darker than the sky above it and what stands in it shines back
// from it; two layers of waves at different scales and headings keep the surface from tiling.
// vars: x tiling of the water maps, y specular power, z ripple strength, w reflectivity.
uniform sampler2D reflection;
uniform sampler2D normalMap;
uniform sampler2D dudv;
uniform sampler2D bottom;
uniform vec3 lightPos;
uniform vec3 camPos;
uniform vec4 vars;
varying vec2 waterUv;
varying vec4 clipPosition;
varying vec3 worldPosition;

vec3 waveNormal(vec2 at) {
    // The normal map stores the tangent frame's x, y (across the surface) and z (up).
    vec3 n = texture2D(normalMap, at).rbg * 2.0 - 1.0;
    return vec3(n.x, n.y, n.z);
}

void main() {
    vec2 screen = clipPosition.xy / clipPosition.w * 0.5 + 0.5;
    vec3 toEye = camPos - worldPosition;
    float distance = length(toEye);
    toEye /= distance;
    vec3 toLight = normalize(lightPos - worldPosition);

    vec2 tiled = waterUv * vars.x * 8.0;
    vec2 crossing = mat2(0.8, -0.6, 0.6, 0.8) * tiled * 1.7 + vec2(0.31, 0.67);
    vec2 swell = (texture2D(dudv, tiled * 0.41 + vec2(0.37, 0.11)).rg * 2.0 - 1.0) * 0.05;
    vec3 waves = waveNormal(tiled + swell) + 0.6 * waveNormal(crossing - swell);
    // Flatter far away, where many waves share a pixel.
    float near = clamp(60.0 / distance, 0.15, 1.0);
    vec3 n = normalize(vec3(waves.x * near, 3.0, waves.z * near));

    vec2 ripple = (texture2D(dudv, tiled).rg * 2.0 - 1.0) * vars.z + n.xz * vars.z * 2.5;
    vec2 readAt = clamp(screen + ripple * near, 0.002, 0.998);
    vec3 mirrored = texture2D(reflection, readAt).rgb;
    vec3 below = texture2D(bottom, readAt).rgb * vec3(0.2, 0.42, 0.5);

    float facing = max(dot(toEye, n), 0.0);
    float grazing = 1.0 - facing;
    float grazing2 = grazing * grazing;
    float fresnel = vars.w + (1.0 - vars.w) * grazing2 * grazing2 * grazing;
    vec3 halfway = normalize(toLight + toEye);
    // The glint's power is eight times the sparkle's: three squarings of the sparkle's base give it.
    float broad = pow(max(dot(n, halfway), 0.0), vars.y * 0.5);
    float glint = broad * broad;
    glint *= glint;
    glint *= glint;
    float sparkle = broad * smoothstep(0.35, 0.9, waves.y * 0.5 + 0.5);

    vec3 deep = vec3(0.004, 0.016, 0.03);
    vec3 colour = mix(below + deep, mirrored * 0.45, fresnel);
    colour += vec3(0.95, 0.97, 1.0) * (glint * 4.0 + sparkle * 0.6);
    gl_FragColor = vec4(colour, 1.0);
}
