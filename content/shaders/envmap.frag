#version 110
// Polished surfaces: a diffuse colour and a sharp highlight from the light, mixed with the environment
// picture seen in the reflection direction (a sphere map) by mixval. The environment's near-white parts
// are its light sources: lifted above white and tinted by the surface like polished metal, they glint
// strongest at grazing angles, so even a surface without a highlight of its own catches the studio's lights.
// specular: rgb colour of the highlight, w its power.
uniform vec3 lightPos;
uniform vec3 camPos;
uniform vec3 diffuse;
uniform vec4 specular;
uniform sampler2D EnvMap;
uniform float mixval;
varying vec3 worldPosition;
varying vec3 worldNormal;

void main() {
    vec3 n = normalize(worldNormal);
    vec3 toLight = normalize(lightPos - worldPosition);
    vec3 toEye = normalize(camPos - worldPosition);
    if (dot(n, toEye) < 0.0)
        n = -n;
    vec3 mirrored = reflect(-toEye, n);
    float facing = max(dot(n, toEye), 0.0);

    float lambert = max(dot(n, toLight), 0.0);
    float highlight = pow(max(dot(reflect(-toLight, n), toEye), 0.0), specular.w);
    // The body is a deeper shade of the colour, and light through the face towards the eye keeps the
    // unlit side in it.
    vec3 hue = diffuse / max(max(diffuse.r, max(diffuse.g, diffuse.b)), 0.05);
    vec3 lit = diffuse * mix(vec3(1.0), hue, 0.6) * (0.1 + 0.9 * lambert + 0.5 * facing * facing);

    // The environment seen in the surface takes the surface's own colour, brightening towards grazing angles.
    float m = 2.0 * sqrt(mirrored.x * mirrored.x + mirrored.y * mirrored.y + (mirrored.z + 1.0) * (mirrored.z + 1.0));
    // Read a little softer than the picture's own detail: the surfaces' normals turn in straight steps
    // from vertex to vertex, and the sharp edges of the environment's lights would show those steps as
    // facets in the reflection.
    vec3 environment = texture2D(EnvMap, mirrored.xy / m + 0.5, 3.0).rgb;
    float grazing = 1.0 - facing;
    float rim = grazing * grazing * grazing;
    vec3 reflected = environment * (diffuse + vec3(0.04)) * (0.9 + 1.5 * rim);

    vec3 metal = mix(vec3(1.0), hue, 0.55);
    float source = smoothstep(0.75, 1.0, dot(environment, vec3(0.3, 0.4, 0.3)));
    vec3 glints = environment * metal * source * source * (1.2 + 1.5 * rim);

    // A clear lacquer over every surface: the environment mirrored in its own colours, faint face on and
    // strong at grazing angles, its lights bright wherever they fall, and a hot point of the light itself.
    // The hot point is the highlight at four times its power.
    float fresnel = 0.05 + 0.95 * rim * grazing * grazing;
    float coatHighlight = highlight * highlight;
    coatHighlight *= coatHighlight;
    vec3 coat = environment * (0.2 + 2.0 * source) * fresnel + vec3(1.5 * coatHighlight);

    // The last stretch before the silhouette is seen nearly edge on and covers next to nothing on screen,
    // but the grazing terms there are at their brightest: left whole, that thin line blooms into a halo
    // that seems to float beside the surface. It keeps half of them.
    float edgeOn = mix(0.5, 1.0, smoothstep(0.0, 0.2, facing));
    gl_FragColor = vec4(mix(lit, reflected, mixval) + (glints + coat) * edgeOn + specular.rgb * highlight, 1.0);
}
