#version 110
// Lit mesh pass. Meshes arrive in world coordinates (their pose is baked into the vertex buffers), so the
// light and the eye are world positions and the texture matrix of unit 0 (the light's projection times its
// view) takes the vertex straight into the shadow map's clip space. Light and view directions leave in
// the tangent frame of the vertex for the normal map.
attribute vec3 tangent;
attribute vec3 binormal;

uniform vec3 lightPos;
uniform vec3 viewDir; // the eye position

varying vec2 uv;
varying vec3 lightTangent;
varying vec3 viewTangent;
varying vec4 shadowCoord;
varying float viewDepth;

void main() {
    vec3 n = normalize(gl_Normal);
    vec3 t = normalize(tangent);
    vec3 b = normalize(binormal);
    vec3 toLight = lightPos - gl_Vertex.xyz;
    vec3 toEye = viewDir - gl_Vertex.xyz;
    lightTangent = vec3(dot(toLight, t), dot(toLight, b), dot(toLight, n));
    viewTangent = vec3(dot(toEye, t), dot(toEye, b), dot(toEye, n));
    uv = gl_MultiTexCoord0.xy;
    shadowCoord = gl_TextureMatrix[0] * gl_Vertex;
    // The eye-space position also places the vertex against a clip plane (the water's mirror pass).
    vec4 eyePosition = gl_ModelViewMatrix * gl_Vertex;
    gl_ClipVertex = eyePosition;
    viewDepth = -eyePosition.z;
    gl_Position = ftransform();
}
