#version 110
// Normal-mapped Blinn-Phong with a shadow-map lookup. The texture is lit by the light's diffuse colour
// over the ambient floor and a soft fill from the eye's side; highlights take the material's specular
// colour and shininess, with a broader sheen under them, and stay out of shadow. The texture's alpha marks
// what glows by itself (1 reflects light only, 0 glows at full strength), so lit strips and lettering
// shine whatever the light does. A steel-teal rim keeps silhouettes in the dark, and surfaces beyond the
// focus band (dofPlanes: near, far edge of focus, fully faded) sink gently into the deep blue-black
// background. Alpha leaves the surface's defocus for the blur, above 1: 1 within the band, rising to 2
// half way from its near edge to the eye and at the fade's end.
// The normal map's alpha marks an atmosphere (1 none, 0 a full one): a haze that the light scatters over
// the day side and past the terminator, and a limb that glows all the way round, on the night side too,
// so that a world shows its shape and its seas before the light finds them.
uniform sampler2D tex;
uniform sampler2D bump;
uniform sampler2DShadow depth;
uniform vec3 ambient;
uniform vec3 diffuse;
uniform vec3 specular;
uniform float shininess;
uniform vec3 dofPlanes;
uniform int receive_shadows;

varying vec2 uv;
varying vec3 lightTangent;
varying vec3 viewTangent;
varying vec4 shadowCoord;
varying float viewDepth;

const vec3 background = vec3(0.004, 0.008, 0.02);
const vec3 rimColor = vec3(0.25, 0.55, 0.65);
const float depthBias = 0.002;
// The light is an HDR source: a surface facing it shows its texture three times over, and the scene's
// exposure brings that back into range.
const float lightIntensity = 3.0;
// What glows by itself shines this many times its texture, well into the glow's range.
const float glowIntensity = 3.5;
// The fill from the eye's side, against the light's strength.
const float fillStrength = 0.12;
const vec3 airColor = vec3(0.28, 0.6, 1.0);

float shadowFactor() {
    if (receive_shadows == 0 || shadowCoord.w <= 0.0)
        return 1.0;
    // Clip space [-1, 1] to texture space [0, 1], then a small bias against self-shadowing.
    vec3 s = shadowCoord.xyz / shadowCoord.w * 0.5 + 0.5;
    if (s.x <= 0.0 || s.x >= 1.0 || s.y <= 0.0 || s.y >= 1.0 || s.z >= 1.0)
        return 1.0;
    s.z -= depthBias;
    return shadow2D(depth, s).r;
}

float distanceFade() {
    // dofPlanes left at zero switch the fade off.
    if (dofPlanes.z <= dofPlanes.y)
        return 0.0;
    float beyond = clamp((viewDepth - dofPlanes.y) / (dofPlanes.z - dofPlanes.y), 0.0, 1.0);
    float before = dofPlanes.x > 0.0 ? clamp(1.0 - viewDepth / dofPlanes.x, 0.0, 1.0) : 0.0;
    return 0.7 * beyond * beyond + 0.3 * before;
}

float defocus() {
    if (dofPlanes.z <= dofPlanes.y)
        return 0.0;
    float before = dofPlanes.x > 0.0 ? clamp(2.0 - 2.0 * viewDepth / dofPlanes.x, 0.0, 1.0) : 0.0;
    float beyond = clamp((viewDepth - dofPlanes.y) / (dofPlanes.z - dofPlanes.y), 0.0, 1.0);
    return max(before, sqrt(beyond));
}

void main() {
    vec4 surface = texture2D(tex, uv);
    vec3 albedo = surface.rgb;
    vec4 relief = texture2D(bump, uv);
    vec3 n = normalize(relief.xyz * 2.0 - 1.0);
    vec3 l = normalize(lightTangent);
    vec3 v = normalize(viewTangent);
    vec3 h = normalize(l + v);

    float lambert = max(dot(n, l), 0.0);
    float lit = shadowFactor();
    // The highlight's power is eight times the sheen's: three squarings of the sheen give it.
    float sheen = lambert > 0.0 ? pow(max(dot(n, h), 0.0), shininess * 0.25) : 0.0;
    float highlight = sheen * sheen;
    highlight *= highlight;
    highlight *= highlight;
    float facing = max(dot(n, v), 0.0);
    float grazing = 1.0 - facing;
    float rim = grazing * grazing * grazing;

    vec3 color = albedo * (ambient + diffuse * (lambert * lit * lightIntensity + fillStrength * facing));
    color += specular * diffuse * (highlight + 0.12 * sheen) * lit * lightIntensity;
    color += rimColor * rim * (ambient + 0.3 * diffuse);
    color += albedo * (1.0 - surface.a) * glowIntensity;
    color = mix(color, background, distanceFade());

    float air = 1.0 - relief.a;
    if (air > 0.0) {
        // In the tangent frame the surface's own normal is z: how far the light and the eye stand above it.
        float day = smoothstep(-0.3, 0.5, l.z);
        float limb = pow(1.0 - max(v.z, 0.0), 3.0);
        vec3 haze = airColor * (limb * (0.7 + 0.4 * day * diffuse) + 0.04 * day * diffuse);
        vec3 skylight = albedo * airColor * 0.3 * (1.0 - day);
        color += air * (haze + skylight);
    }
    gl_FragColor = vec4(color, 1.0 + defocus());
}
