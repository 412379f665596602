#version 110
// Screen quad: the vertex is its own clip-space position. The base picture is read where the pixel is;
// the mask through the quad's texture coordinates, which a scene may scroll.
varying vec2 screenUv;
varying vec2 maskUv;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    screenUv = gl_Vertex.xy * 0.5 + 0.5;
    maskUv = gl_MultiTexCoord0.xy;
}
