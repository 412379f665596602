#version 110
// The finished picture multiplied by the mask (white keeps, black hides), tinted by colorAdjust and faded
// towards black by fade. The blur marks the corner texel of the picture it leaves with a key colour; the
// few pixels there take their neighbours' picture instead.
uniform sampler2D base;
uniform sampler2D mask;
uniform vec4 colorAdjust;
uniform float fade;
varying vec2 screenUv;
varying vec2 maskUv;

void main() {
    // Two texels of the half-size picture are at most four pixels of the screen.
    vec2 corner = 4.5 * abs(vec2(dFdx(screenUv.x), dFdy(screenUv.y)));
    vec2 at = screenUv;
    if (at.x < corner.x && at.y < corner.y)
        at.x = corner.x;
    vec3 picture = texture2D(base, at).rgb;
    vec3 masked = picture * texture2D(mask, maskUv).rgb * colorAdjust.rgb;
    gl_FragColor = vec4(masked * (1.0 - fade), 1.0);
}
