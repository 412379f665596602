// ShowScene: what the show's seven scenes share. Construction looks names up in the registries and stops
// the show in an orderly way when one is missing (the registry's message, then one naming the scene and
// the name, exit status 255). The standard frame is split into the steps every scene calls in order: light
// 0's colours, the shadow pass with its matrix read-back, the lit pass into hdrTarget with the shadow
// texture matrix, and the finish (HDR with its flicker, the blur, the mask composite onto the screen).
#pragma once

#include "assets/ShaderManager.h"
#include "math/Vec3.h"
#include "scenes/Scene.h"

#include <cstdint>

namespace halcyra {

class Mesh;
class Model;

// The colours cubes take in turn: cube i is drawn with entry i mod 3.
struct CubeColors {
    float rgb[3][3];
};
const CubeColors& cubeColors();

// The grain of every scene that sets it per frame: 0.4 at the start of each 14,436 ms window, falling to
// 0.1 over 4330.8 ms and staying there until the window ends.
float noiseStrengthAt(float time);

// The time-driven index of the point clouds: trunc(t / 7 + i) mod m.
int32_t cloudIndex(float time, int32_t i, int32_t m);

// The mask composite's full-screen quad: texture coordinates (0, 1) … (1, 1) on the clip-space corners.
struct QuadCorners {
    float u[4];
    float v[4];
};
QuadCorners fullScreenQuad();

// The environment-mapped surface program ("envmap") of the cubes and the metaball surface.
struct EnvironmentProgram {
    ShaderProgram* program = nullptr;
    int32_t lightPos = -1, camPos = -1, diffuse = -1, specular = -1, envMap = -1, mixval = -1;
    void build(ShaderManager& shaders);
};

// The water-like programs ("water_filter", "water", "mirror"): reflection, water maps and "vars".
struct WaterProgram {
    ShaderProgram* program = nullptr;
    int32_t reflection = -1, normalMap = -1, dudv = -1, camPos = -1, lightPos = -1, vars = -1, bottom = -1,
            depth = -1;
    void build(ShaderManager& shaders);
};

// The band programs ("simple2" of the title card, "simple" of the end logo): one picture on the band over
// the middle half of the screen, faded by "factor".
struct BandProgram {
    ShaderProgram* program = nullptr;
    int32_t tex = -1, factor = -1;
    void build(ShaderManager& shaders);
};

class ShowScene : public Scene {
public:
    // What the gentle show (--gentle) scales every flicker by: a quarter, so that the metaballs' light,
    // the strongest, swings the floor's brightness by well under the tenth that makes a flash.
    static constexpr float gentleFlicker = 0.25f;

    // Base fields: engine, noise texture "c_noise.jpg", end time and grain strength.
    ShowScene(const char* sceneName, float length, float noise);

protected:
    // Registry lookups a scene cannot do without.
    TextureBinding texture(const char* name);
    ShaderProgram* program(const char* key);
    Model* model(const char* name);
    Mesh* mesh(Model* owner, int32_t index);

    // Builds the mask program and fetches its four locations.
    void buildMaskProgram();
    // The Engine's part of a start: the bump program when the scene lights models, the HDR programs,
    // dofPlanes (20, 100, 300) and the perspective with the scene's field of view.
    void prepareEngine(bool bumpShading, float fov);
    // The look parameters every start writes; HDR is switched on.
    static void setLook(float exposure, float blurStrength, float lightLevel, float ambientLevel);
    // Makes the environment program current with its texture and the light, eye, highlight and mix.
    void useEnvironment(const EnvironmentProgram& environment, TextureBinding picture, const float* specular,
                        float mixval);
    // Light 0: diffuse (L, F·L, F·L, 1) and ambient (A, A, A, 1) from the look parameters.
    void setLightColors(float flicker);
    // Begins the shadow pass from light 0 towards `target` and keeps the pass's matrices; the caller draws
    // the casters and calls endShadowPass.
    void beginShadowPass(Vec3 target, float fov);
    void endShadowPass();
    // Camera view, clear, hdrTarget bound with the attachment hdrEnabled chooses, clear, shadow texture
    // matrix.
    void beginLitPass();
    // Unbinds hdrTarget, turns depth testing off, runs HDR (while enabled), the blur with `blurStep` and
    // the mask composite with `mask`.
    void finishFrame(float blurStep, TextureBinding mask);
    // The "mask" program over a quad with the given texture coordinates.
    void drawMaskComposite(TextureBinding base, TextureBinding mask, const QuadCorners& corners);
    // A full-screen quad in clip space with the given texture coordinates.
    static void drawScreenQuad(const QuadCorners& corners);
    // The band over the middle half of the screen that the title and the end logo are drawn on.
    static void drawBand();
    // `picture` on the band with the band program, faded by `factor`; no program is current after.
    void drawBandPicture(const BandProgram& band, TextureBinding picture, float factor);
    // Loads projection × modelview into the texture matrix, for shadow lookups.
    static void loadTextureMatrix(const float* projection, const float* modelview);
    static void setPointAttenuation(float quadratic);
    // The point column of the cube-rain and greetings scenes: `count` points of three vertices each, their
    // heights walking down by the time-driven index, the x and z spread shifted by `drift`.
    static void drawPointColumn(float time, int count, float driftP, float driftQ);
    // The standard blur step: 0.01 × (1 + sin(0.00083333335 × t²)), a flicker.
    float standardBlurStep() const;
    // A flicker's wave, sin(k × t²) with t the flicker time (the show's 60 Hz grid), so that it turns over
    // from frame to frame as a 60 Hz display shows it at every frame rate. Every flicker of the show is
    // made of it: the light's tint, the exposure's and the glow's wobble, the blur step. The gentle show
    // scales it by gentleFlicker.
    float flicker(float k) const;
    // The standard step widened by the grain: plus 0.2 × (noiseStrength − 0.1).
    float grainBlurStep() const { return standardBlurStep() + 0.2f * (noiseStrength - 0.1f); }
    // The Engine's part of a finish: the bump program when the scene lit models, and the HDR programs.
    void releaseEngine(bool bumpShading);
    void releaseMaskProgram();

    const char* sceneName;
    ShaderManager* shaders = nullptr;
    ShaderProgram* maskProgram = nullptr;
    int32_t maskBaseLocation = -1;
    int32_t maskMaskLocation = -1;
    int32_t maskColorAdjustLocation = -1;
    int32_t maskFadeLocation = -1;
    float shadowProjection[16] = {};
    float shadowModelview[16] = {};
};

} // namespace halcyra
