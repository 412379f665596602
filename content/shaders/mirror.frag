#version 110
// A polished greeting cube: the group's face, embossed by its normal map and lit, with the bright copy of
// the scene mirrored in it, rippled by the group's du/dv map. The shadow depth dims what the light cannot
// reach. vars: x face tiling, y specular power, z ripple strength, w reflectivity.
uniform sampler2D reflection;
uniform sampler2DShadow depth;
uniform sampler2D normalMap;
uniform sampler2D dudv;
uniform sampler2D bottom;
uniform vec3 lightPos;
uniform vec3 camPos;
uniform vec4 vars;
varying vec2 faceUv;
varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec4 clipPosition;

void main() {
    vec2 uv = faceUv * vars.x;
    vec3 n = normalize(worldNormal);
    // A tangent frame from the face normal, good enough for the axis-aligned faces of a cube.
    vec3 tangent = normalize(abs(n.y) < 0.9 ? cross(vec3(0.0, 1.0, 0.0), n) : cross(n, vec3(1.0, 0.0, 0.0)));
    vec3 bitangent = cross(n, tangent);
    vec3 bump = texture2D(normalMap, uv).rgb * 2.0 - 1.0;
    vec3 surface = normalize(tangent * bump.x + bitangent * bump.y + n * max(bump.z, 0.2));

    vec3 toEye = normalize(camPos - worldPosition);
    vec3 toLight = normalize(lightPos - worldPosition);
    float lambert = max(dot(surface, toLight), 0.0);
    float highlight = pow(max(dot(reflect(-toLight, surface), toEye), 0.0), vars.y);
    float lightReaches = shadow2D(depth, vec3(0.5, 0.5, 0.99)).r;

    vec2 screen = clipPosition.xy / clipPosition.w * 0.5 + 0.5;
    vec2 ripple = (texture2D(dudv, uv).rg * 2.0 - 1.0) * vars.z * 0.25;
    vec3 mirrored = texture2D(reflection, clamp(screen + ripple + surface.xy * 0.03, 0.002, 0.998)).rgb;

    vec3 face = texture2D(bottom, uv).rgb;
    float fresnel = vars.w + (1.0 - vars.w) * pow(1.0 - max(dot(toEye, surface), 0.0), 4.0);
    vec3 colour = face * (0.25 + 0.9 * lambert * lightReaches) + mirrored * fresnel * 0.5 + vec3(highlight);
    gl_FragColor = vec4(colour, 1.0);
}
