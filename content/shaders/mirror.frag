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
    vec3 n = normalize(worldNormal);
    // The tangent frame from the screen derivatives of position and texture coordinates, so the bumps
    // follow the picture on every face however the cube turns.
    vec3 dp1 = dFdx(worldPosition);
    vec3 dp2 = dFdy(worldPosition);
    vec2 duv1 = dFdx(faceUv);
    vec2 duv2 = dFdy(faceUv);
    vec3 dp2perp = cross(dp2, n);
    vec3 dp1perp = cross(n, dp1);
    vec3 tangent = dp2perp * duv1.x + dp1perp * duv2.x;
    vec3 bitangent = dp2perp * duv1.y + dp1perp * duv2.y;
    float scale = inversesqrt(max(max(dot(tangent, tangent), dot(bitangent, bitangent)), 1e-12));
    tangent *= scale;
    bitangent *= scale;
    vec2 uv = faceUv * vars.x;

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

    // The face glows faintly from within, so the greeting reads even on the side away from the light.
    vec3 face = texture2D(bottom, uv).rgb;
    float grazing = 1.0 - max(dot(toEye, surface), 0.0);
    grazing *= grazing;
    float fresnel = vars.w + (1.0 - vars.w) * grazing * grazing;
    vec3 colour = face * (0.6 + 1.4 * lambert * lightReaches) + mirrored * fresnel * 0.12 + vec3(highlight);
    gl_FragColor = vec4(colour, 1.0);
}
