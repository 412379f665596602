#version 110
// Water at dusk: dark and deep under the eye, mirroring the sky more towards the horizon and what glows or
// is lit above it strongly, so that the stones, the great ring and the lamps shine back from it; nothing
// shows through it, so the picture of what lies below the surface ("bottom") is bound and left unread.
// Two layers of waves at different scales and headings ripple the mirrored picture and keep the surface
// from tiling; the light leaves a narrow glint where the wave faces turn it to the eye. Far out the water fades into the sky: its alpha goes from 1 (lit world)
// towards 0.5 (the clear colour, at infinity), so that the tonemap treats it as it treats the sky, and its
// colour becomes the sky it mirrors, so that the horizon is soft.
// vars: x tiling of the water maps, y specular power, z ripple strength, w reflectivity.
uniform sampler2D reflection;
uniform sampler2D normalMap;
uniform sampler2D dudv;
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

    vec2 ripple = n.xz * vars.z * 3.0;
    vec2 readAt = clamp(screen + ripple * near, 0.002, 0.998);
    // Two reads a little above and below: the mirrored picture smears upright as it does on moving water,
    // and lone points in it fade.
    vec2 smear = vec2(0.0, 2.5 * abs(dFdy(screen.y)));
    vec3 mirrored =
        0.5 * (texture2D(reflection, readAt + smear).rgb + texture2D(reflection, readAt - smear).rgb);

    float facing = max(dot(toEye, n), 0.0);
    float grazing = 1.0 - facing;
    float grazing2 = grazing * grazing;
    float fresnel = vars.w + (1.0 - vars.w) * grazing2 * grazing2 * grazing;
    // Only what is brighter than the sky shines back at its strength, what glows most of all; the sky and
    // the dim points in it lie faint on the water.
    float bright = max(mirrored.r, max(mirrored.g, mirrored.b));
    // Towards the horizon, where the eye grazes the surface, the sky mirrors too.
    float level = 1.0 - max(toEye.y, 0.0);
    level *= level;
    vec3 reflected = mirrored * mix(0.06, 0.9, max(smoothstep(0.3, 1.4, bright), level * level));
    // The water's own deep blue tints what it mirrors, as the sky above it is tinted.
    reflected *= vec3(0.6, 0.7, 1.0);

    vec3 halfway = normalize(toLight + toEye);
    float glint = pow(max(dot(n, halfway), 0.0), vars.y * 6.0);

    vec3 deep = vec3(0.001, 0.004, 0.009);
    vec3 colour = mix(deep, reflected, fresnel);
    colour += vec3(0.95, 0.97, 1.0) * glint * 1.6;

    // The sky's treatment comes first, then the sky's own colour, so that the far water never shows the
    // clear colour untreated.
    float skyward = smoothstep(150.0, 450.0, distance);
    colour = mix(colour, mirrored, smoothstep(250.0, 650.0, distance));
    gl_FragColor = vec4(colour, 1.0 - 0.5 * skyward);
}
