#version 110
// Looking at the picture through moving water: the du/dv map shifts where the picture is read, the normal
// map catches the light as faint caustics, the bottom picture shows through by vars.w, and the view darkens
// softly towards its corners like the edge of a lens.
// vars: x tiling of the water maps, y specular power, z ambient light, w share of the bottom picture.
uniform sampler2D reflection;
uniform sampler2D normalMap;
uniform sampler2D dudv;
uniform sampler2D bottom;
uniform vec3 lightPos;
uniform vec3 camPos;
uniform vec4 vars;
varying vec2 uv;

void main() {
    // The eye's orbit drifts the water across the view.
    vec2 drift = vec2(camPos.x + camPos.z, camPos.y - camPos.z) * 0.0015;
    vec2 waterUv = uv * vars.x + drift;
    vec2 shift = (texture2D(dudv, waterUv).rg * 2.0 - 1.0) * 0.005;
    shift += (texture2D(dudv, waterUv * 0.37 - drift * 1.7).rg * 2.0 - 1.0) * 0.003;

    // This pass draws at half the picture's size. One read per pixel would keep whichever of the picture's
    // pixels the shift lands on, so that thin lines (the threads above the cubes) break into dots as the
    // water moves them; two reads half a picture pixel to either side of the point, across both axes,
    // weigh every pixel the point covers, wherever it lands.
    vec2 at = clamp(uv + shift, 0.001, 0.999);
    vec2 quarter = vec2(abs(dFdx(uv.x)), abs(dFdy(uv.y))) * 0.25;
    vec3 picture = 0.5 * (texture2D(reflection, at - quarter).rgb + texture2D(reflection, at + quarter).rgb);

    vec3 normal = normalize(texture2D(normalMap, waterUv + shift).rgb * 2.0 - 1.0);
    vec3 toLight = normalize(vec3(lightPos.x, lightPos.y, -lightPos.z) * 0.01 + vec3(0.0, 0.0, 1.0));
    vec3 halfway = normalize(toLight + vec3(0.0, 0.0, 1.0));
    float caustic = pow(max(dot(normal, halfway), 0.0), vars.y) * 0.15;
    vec3 tint = vec3(0.55, 0.8, 0.95);

    vec3 colour = picture + tint * (caustic + vars.z * 2.0);
    if (vars.w > 0.0)
        colour = mix(colour, texture2D(bottom, uv).rgb * picture, vars.w);

    // The lens: a wide, soft fall towards the corners, the sides darkening more than top and bottom (the
    // mask shades those).
    vec2 fromCentre = (uv - 0.5) * vec2(2.0, 1.6);
    float lens = 1.0 - 0.38 * smoothstep(0.45, 1.45, dot(fromCentre, fromCentre));
    gl_FragColor = vec4(colour * lens, 1.0);
}
