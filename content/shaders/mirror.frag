#version 110
// A polished greeting cube: the group's face, embossed by its normal map and lit, mirroring a soft studio
// and the lights of the bright copy of the scene. The scene's shadow depth holds only cleared depth and
// its du/dv maps would only bend that copy's lights; both are bound and left unread. vars: x face tiling,
// y specular power, w reflectivity (z, the ripple strength, unused).
uniform sampler2D reflection;
uniform sampler2D normalMap;
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

    // What the face mirrors: a soft studio (a dim floor, a brighter sky and a broad light towards the scene's
    // light) in the direction the face reflects the eye, and of the bright copy of the scene only its
    // brightest parts, the lights, read where the face mirrors them.
    // The copy's points and edges stay out, so the face is clean between its letters.
    vec3 mirror = reflect(-toEye, surface);
    vec3 studio = mix(vec3(0.01, 0.012, 0.016), vec3(0.07, 0.09, 0.11), smoothstep(-0.3, 0.7, mirror.y));
    studio += vec3(0.22, 0.26, 0.3) * pow(max(dot(mirror, toLight), 0.0), 12.0);
    vec2 screen = clipPosition.xy / clipPosition.w * 0.5 + 0.5;
    vec3 copy = texture2D(reflection, clamp(screen + surface.xy * 0.05, 0.002, 0.998)).rgb;
    vec3 mirrored = studio + max(copy - vec3(1.5), 0.0) * 0.05;

    // The face glows faintly from within, so the greeting reads even on the side away from the light.
    vec3 face = texture2D(bottom, uv).rgb;
    float grazing = 1.0 - max(dot(toEye, surface), 0.0);
    grazing *= grazing;
    float fresnel = vars.w + (1.0 - vars.w) * grazing * grazing;
    vec3 colour = face * (0.6 + 1.4 * lambert) + mirrored * fresnel + vec3(highlight);
    gl_FragColor = vec4(colour, 1.0);
}
