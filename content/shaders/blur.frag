#version 110
// One blur pass: the centre and four samples along one axis, weighted like a small Gaussian.
//
// The finished picture's chain works otherwise, so that its blur falls on what lies out of focus and the
// subject keeps its edges. Its first pass reads the tonemapped picture, whose alpha holds half of each
// pixel's defocus (0 in focus, 1 fully out of it; every other source has an alpha of 1). That pass takes
// the chain's own blur only up to its calm strength and adds the rest as depth of field: a round, gathered
// blur as wide as the pixel's defocus, to which only samples that are themselves blurred that far
// contribute, so a sharp subject does not bleed into the soft background behind it. It marks its target
// by writing a key colour into the corner texel; a pass that finds the key in its source belongs to the
// same chain, keeps the key, and blurs at most at the calm strength. The composite never reads that texel.
uniform sampler2D tex;
uniform vec2 s0;
uniform vec2 s1;
uniform vec2 s2;
uniform vec2 s3;
varying vec2 uv;

const vec3 chainKey = vec3(1.0, 0.0, 1.0);
// The largest step a pass of the picture's chain takes: the calm blur's widest, doubled in its last passes.
const float calmStep = 0.0008;
// Depth of field, as a fraction of the picture's width: a base radius, and the share of the chain's blur
// step it grows by (the step is widest while the grain is strong).
const float focusBase = 0.0035;
const float focusGrowth = 3.0;
const int focusTaps = 16;

vec3 fiveTaps(vec2 o0, vec2 o1, vec2 o2, vec2 o3) {
    vec3 sum = texture2D(tex, uv).rgb * 0.28;
    sum += texture2D(tex, uv + o0).rgb * 0.24;
    sum += texture2D(tex, uv + o2).rgb * 0.24;
    sum += texture2D(tex, uv + o1).rgb * 0.12;
    sum += texture2D(tex, uv + o3).rgb * 0.12;
    return sum;
}

bool cornerTexel() {
    return gl_FragCoord.x < 1.0 && gl_FragCoord.y < 1.0;
}

// The first pass of the picture's chain (s0 is its step along x); texel is the target's texel.
vec3 depthOfField(vec4 centre, vec2 texel) {
    float step = abs(s0.x);
    // The target's texel covers four of the picture's: it is as sharp as the sharpest of them, so points
    // and thin lines in focus keep their light instead of being spread into the background around them.
    vec2 quarter = 0.25 * texel;
    float least = min(min(texture2D(tex, uv - quarter).a, texture2D(tex, uv + quarter).a),
                      min(texture2D(tex, uv + vec2(quarter.x, -quarter.y)).a,
                          texture2D(tex, uv + vec2(-quarter.x, quarter.y)).a));
    float radius = 2.0 * least * (focusBase + focusGrowth * step);
    // A circle in target texels is a circle in the picture at every picture size.
    float texelAspect = texel.y / texel.x;
    if (radius < 1.5 * texel.x) {
        vec2 calm = vec2(min(step, calmStep), 0.0);
        return fiveTaps(-calm, -2.0 * calm, calm, 2.0 * calm);
    }
    vec3 sum = centre.rgb;
    float weight = 1.0;
    // A golden-angle spiral of taps filling the disc evenly.
    for (int i = 0; i < focusTaps; ++i) {
        float r = sqrt((float(i) + 0.5) / float(focusTaps));
        float a = float(i) * 2.39996323;
        vec2 offset = vec2(cos(a), sin(a) * texelAspect) * (r * radius);
        vec4 s = texture2D(tex, uv + offset);
        float reach = 2.0 * s.a * (focusBase + focusGrowth * step);
        float w = clamp(reach / (r * radius), 0.0, 1.0);
        sum += s.rgb * w;
        weight += w;
    }
    return sum / weight;
}

void main() {
    // The pass draws a quad over the whole target: its texture coordinates step by one texel a pixel.
    vec2 texel = abs(vec2(dFdx(uv.x), dFdy(uv.y)));
    vec4 centre = texture2D(tex, uv);
    if (centre.a < 0.75) {
        gl_FragColor = vec4(cornerTexel() ? chainKey : depthOfField(centre, texel), 1.0);
        return;
    }
    vec3 key = texture2D(tex, 0.5 * texel).rgb;
    if (dot(abs(key - chainKey), vec3(1.0)) < 0.003) {
        if (cornerTexel()) {
            gl_FragColor = vec4(chainKey, 1.0);
            return;
        }
        float near = max(abs(s0.x), abs(s0.y));
        float scale = near > calmStep ? calmStep / near : 1.0;
        gl_FragColor = vec4(fiveTaps(s0 * scale, s1 * scale, s2 * scale, s3 * scale), 1.0);
        return;
    }
    gl_FragColor = vec4(fiveTaps(s0, s1, s2, s3), 1.0);
}
