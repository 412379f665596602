#version 110
// Water: the mirrored picture and the picture below the surface, both rippled by the du/dv map, mixed by a
// Fresnel term, with a sun glint from the normal map and a cool tint with depth.
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

void main() {
    vec2 screen = clipPosition.xy / clipPosition.w * 0.5 + 0.5;
    vec2 tiled = waterUv * vars.x * 8.0;
    vec2 ripple = (texture2D(dudv, tiled).rg * 2.0 - 1.0) * vars.z;
    ripple += (texture2D(dudv, tiled * 0.41 + vec2(0.37, 0.11)).rg * 2.0 - 1.0) * vars.z * 0.6;
    vec2 readAt = clamp(screen + ripple, 0.002, 0.998);

    vec3 mirrored = texture2D(reflection, readAt).rgb;
    vec3 below = texture2D(bottom, readAt).rgb * vec3(0.35, 0.55, 0.65);

    vec3 n = normalize((texture2D(normalMap, tiled + ripple * 4.0).rbg * 2.0 - 1.0) * vec3(1.0, 4.0, 1.0));
    vec3 toEye = normalize(camPos - worldPosition);
    vec3 toLight = normalize(lightPos - worldPosition);
    float fresnel = vars.w + (1.0 - vars.w) * pow(1.0 - max(dot(toEye, vec3(0.0, 1.0, 0.0)), 0.0), 5.0);
    float glint = pow(max(dot(reflect(-toLight, n), toEye), 0.0), vars.y);

    vec3 deep = vec3(0.01, 0.03, 0.06);
    vec3 colour = mix(below + deep, mirrored, fresnel) + vec3(0.9, 0.95, 1.0) * glint * 1.5;
    gl_FragColor = vec4(colour, 1.0);
}
