#version 110
varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 uv;

void main() {
    vec3 n = normalize(eyeNormal);
    vec3 toLight = normalize(gl_LightSource[0].position.xyz - eyePosition);
    vec3 toEye = normalize(-eyePosition);
    float lambert = max(dot(n, toLight), 0.0);
    float highlight = pow(max(dot(reflect(-toLight, n), toEye), 0.0), 40.0);
    vec3 colour = gl_Color.rgb * (gl_LightSource[0].ambient.rgb + gl_LightSource[0].diffuse.rgb * lambert);
    gl_FragColor = vec4(colour + vec3(highlight) + 0.0 * uv.x, 1.0);
}
