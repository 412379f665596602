#version 110
// One blur pass: the centre and four samples along one axis, weighted like a small Gaussian.
//
// The finished picture's chain blurs otherwise, so that its blur falls on what lies out of focus and the
// subject keeps its edges. Its first pass reads the tonemapped picture, whose alpha holds half of each
// pixel's defocus (0 in focus, 1 fully out of it; every other source has an alpha of 1). That pass keeps
// the chain's own blur to its calm strength and opens its four samples into a cross as wide as the pixel's
// defocus, to which only samples that are themselves blurred that far contribute, so that a sharp subject
// does not bleed into the soft background behind it. The chain's later passes step at most 0.0064 (twice
// the grain's widest first step) and keep to the calm strength too; the glow's passes, the only others,
// step 0.004 and 0.008 (its step of 0.1) and blur in full. Every pass takes the same five samples.
uniform sampler2D tex;
uniform vec2 s0;
uniform vec2 s1;
uniform vec2 s2;
uniform vec2 s3;
varying vec2 uv;
// From blur.vert: the calm scale, 1 in a later pass of the picture's chain, the reach at full defocus.
varying vec3 pass;

void main() {
    vec4 centre = texture2D(tex, uv);
    float first = step(centre.a, 0.75);
    float calm = mix(1.0, pass.x, max(first, pass.y));

    float radius = first * centre.a * pass.z;
    vec4 a0 = texture2D(tex, uv + s0 * calm - vec2(radius, 0.0));
    vec4 a1 = texture2D(tex, uv + s1 * calm - vec2(0.0, radius));
    vec4 a2 = texture2D(tex, uv + s2 * calm + vec2(radius, 0.0));
    vec4 a3 = texture2D(tex, uv + s3 * calm + vec2(0.0, radius));

    // As the cross opens its samples weigh alike, each as far as its own blur reaches the centre: the
    // defocus of the sample against the centre's.
    float open = min(radius * 500.0, 1.0);
    vec4 reach = min(vec4(a0.a, a1.a, a2.a, a3.a) / max(centre.a, 1e-3), 1.0);
    vec4 w = vec4(0.24, 0.12, 0.24, 0.12) + open * (0.2 * reach - vec4(0.24, 0.12, 0.24, 0.12));
    float w0 = 0.28 - 0.08 * open;
    vec3 sum = centre.rgb * w0 + a0.rgb * w.x + a1.rgb * w.y + a2.rgb * w.z + a3.rgb * w.w;
    gl_FragColor = vec4(sum / (w0 + w.x + w.y + w.z + w.w), 1.0);
}
