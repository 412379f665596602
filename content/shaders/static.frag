#version 110
// Film grain multiplied over the finished frame: one noise texel per pixel, shifted every refresh of
// `time`, a little heavier on alternate scan lines. A white noise texture or strength 0 gives white,
// which leaves the frame unchanged. Pictures larger than the show's modes take invPixelScale below 1, so
// that the grain and its lines keep their size in the picture (it is exactly 1 at the modes).
uniform sampler2D noise;
uniform float time;
uniform float strength;
uniform float sheight;
uniform float screenY;
uniform float invPixelScale;
varying vec2 uv;

void main() {
    vec2 grainCoord = (gl_FragCoord.xy + vec2(0.0, screenY)) * invPixelScale / 256.0 +
                      vec2(time * 0.377, time * 0.713);
    float grain = texture2D(noise, grainCoord).r;
    // uv.y * sheight is the row's centre, row + 0.5; its whole part numbers the rows.
    float line = mod(floor(uv.y * sheight * invPixelScale), 2.0);
    float darkening = (1.0 - grain) * (0.8 + 0.2 * line);
    gl_FragColor = vec4(vec3(1.0 - strength * darkening), 1.0);
}
