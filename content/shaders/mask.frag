#version 110
// The finished picture multiplied by the mask (white keeps, black hides), tinted by colorAdjust and faded
// towards black by fade.
uniform sampler2D base;
uniform sampler2D mask;
uniform vec4 colorAdjust;
uniform float fade;
varying vec2 screenUv;
varying vec2 maskUv;

void main() {
    vec3 picture = texture2D(base, screenUv).rgb;
    vec3 masked = picture * texture2D(mask, maskUv).rgb * colorAdjust.rgb;
    gl_FragColor = vec4(masked * (1.0 - fade), 1.0);
}
