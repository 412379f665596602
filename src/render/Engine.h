// Engine: the renderer singleton. Created during loading right after the data packet, destroyed after the
// last scene. It owns the four render targets and, through their singletons, the texture and shader
// registries, the model library, the camera and the light library; it sets the default GL state and offers
// the GL operations every scene uses: projection and camera view, program use, a 16-entry texture queue
// that gives textures units in queue order, screen and fade quads, and the blur, HDR and noise passes.
// A missing "blur" or "static" program ends the process at construction.
#pragma once

#include "assets/Texture.h"
#include "core/Singleton.h"
#include "render/PassTimes.h"

#include <cstdint>
#include <memory>

namespace halcyra {

class Camera;
class LightLibrary;
class Mesh;
class Model;
class ModelLibrary;
class RenderTarget;
class ShaderManager;
class TextureManager;
struct ShaderProgram;

// destroy() tears the Engine down in order: its programs, the render targets, then the light library, the
// shader registry, the model library, the texture registry and the camera.
class Engine : public Singleton<Engine> {
public:
    static constexpr int textureQueueCapacity = 16;

    virtual ~Engine();

    // Pixel units with the origin at the top left of the current viewport and y growing downward.
    virtual void beginOrtho();
    virtual void endOrtho();

    // Stores `fov` as the camera's field of view; an aspect below 0 means the Engine's. Near 1, far 2000.
    void setPerspective(float fov, float aspect);
    // Identity, then the view from the camera's eye to its target with its up vector; a view straight
    // along that vector takes -z (looking down) or +z (looking up) as the top of the picture.
    void loadCameraView();
    void setClearColor(float r, float g, float b, float a);
    void clear();
    void setViewport(int x, int y, int width, int height);
    void resetTriangleCount() { trianglesDrawn = 0; }
    void useProgram(const ShaderProgram* program);
    void useNoProgram();
    // Queues a texture for the next bindQueuedTextures; a 17th entry is refused with a message.
    void queueTexture(int32_t location, TextureBinding binding);
    // Binds the queued textures to units 0, 1, … in queue order, sets each sampler location to its unit
    // (skipped for −1) and empties the queue. The active unit stays at the last one bound.
    void bindQueuedTextures();
    // A quad from (−1, −1) to (1, 1) for programs that take the vertex as its clip-space position.
    void drawScreenQuad();
    // glPointSize and glLineWidth for sizes given at the show's modes, scaled by pixelScale.
    void setPointSize(float pixels);
    void setLineWidth(float pixels);
    // Blends `color` over the view of a fov-45 projection with identity modelview.
    void drawFadeQuad(const float (&color)[4]);
    void applyGLDefaults();

    void prepareBumpProgram();
    void prepareBlurProgram();
    void prepareHdrPrograms();
    void releaseBumpProgram();
    void releaseBlurProgram();
    void releaseHdrPrograms();
    // After programs were built again from new sources (the studio): the locations of every program the
    // Engine keeps built are fetched again, and "static" gets its screen uniforms again.
    void refreshPrograms();
    // The GL state every frame starts from, whatever ran before it (the frames before, a seek's replay that
    // drew nothing, loading): texture unit 0 active, the modelview matrix current and the identity, the
    // viewport over the whole picture, depth testing on. A frame's passes set what else they use.
    void beginFrame();
    // What the Engine holds for the scenes as it stands at the top of the show: no focus planes.
    void resetShowState();
    // After the picture's size changed (adaptive quality): the picture's targets are made anew at the
    // DisplayConfig's size (the shadow map stays), with the texel and pixel scales, the viewport and the
    // grain's screen uniforms that follow from it. Between frames only.
    void resizePicture();

    // Mesh drawing (MeshDrawing.cpp). beginBumpShading makes "bumpmap" current with light 0, the eye and
    // dofPlanes; drawMesh then binds the shadow map, texture and bump map to units 0, 1, 2 and draws the
    // mesh's buffers. The depth draws feed positions only and skip meshes that cast no shadow. A null
    // mesh or model draws nothing.
    void beginBumpShading();
    void endBumpShading();
    void drawMesh(const Mesh* mesh);
    void drawMeshDepth(const Mesh* mesh);
    void drawModel(const Model* model);
    void drawModelDepth(const Model* model);

    // Shadow pass (ShadowPass.cpp): the camera looks from `light` at `target` with `fov` and an aspect of 1
    // into shadowTarget's depth texture, colour writes off and front faces clockwise, until endShadowPass
    // restores the camera, the projection with the Engine's aspect, and the state. Passes do not nest.
    void beginShadowPass(float lightX, float lightY, float lightZ, float targetX, float targetY,
                         float targetZ, float fov);
    void endShadowPass();

    // The texture's GL object, made on the first call (mipmapped, filters as given) and handed out after;
    // the decoded pixels are released once they are in it (size and format stay). A texture without
    // pixels uploads as a 1 × 1 magenta stand-in, reported once by name.
    TextureBinding uploadTexture(Texture& texture, uint32_t minFilter, uint32_t magFilter);
    // Wall-clock and process CPU milliseconds spent making texture objects, for the loading figures.
    struct UploadTimes {
        double wall = 0.0;
        double cpu = 0.0;
    } uploadTimes;

    // A width × height RGBA texture of zeros with linear filtering (and a mipmap chain when asked).
    TextureBinding createBlankTexture(int width, int height, uint32_t texelType, bool mipmaps);
    // glBindTexture with the binding's target and id; the binding is remembered in boundTexture.
    void bindTexture(TextureBinding binding);
    // Copies width × height pixels from (x, y) of the current read buffer to the texture's lower-left corner.
    void copyScreenToTexture(TextureBinding binding, int x, int y, int width, int height);

    // Blur ping-ponging between blurTarget's two textures, each pair of passes twice as wide as the one
    // before; returns the attachment holding the result. With `toScreen` the last pass draws to the screen.
    int blurPasses(float step, TextureBinding source, int passCount, bool toScreen);
    // Bright pass at half size, four blur passes, tonemap of hdrTarget texture 1 plus the glow into
    // hdrTarget texture 0, or into the current framebuffer with `keepTarget`.
    void applyHdr(float exposureExponent, float blurStrength, float range, bool keepTarget);
    // Multiplies the frame by the "static" program's animated grain.
    void drawNoiseOverlay(float time, float strength, TextureBinding noise);

    // Queued textures that bindQueuedTextures has yet to bind.
    int32_t queuedTextureCount() const { return textureQueueCount; }

    // ---- What scenes set: read by the next mesh draw ----
    // Depth-of-field planes the "bumpmap" program takes (focus, near and far blur distances).
    float dofPlanes[3] = {0.0f, 0.0f, 0.0f};

    // ---- What the Engine owns, for scenes to read and draw with ----
    // The registries and libraries (each its own singleton, torn down by destroy()).
    LightLibrary* lights = nullptr;
    ShaderManager* shaders = nullptr;
    ModelLibrary* models = nullptr;
    TextureManager* textures = nullptr;
    Camera* camera = nullptr;
    // The four render targets: shadow map, HDR picture (texture 1 the scene, 0 the result), bright pass and
    // blur ping-pong. Scenes draw into hdrTarget and blurTarget and read their textures.
    std::unique_ptr<RenderTarget> shadowTarget;
    std::unique_ptr<RenderTarget> hdrTarget;
    std::unique_ptr<RenderTarget> brightTarget;
    std::unique_ptr<RenderTarget> blurTarget;
    int32_t targetSize = 0; // the square targets' side
    // What sizes in pixels are multiplied by: 1 at the show's modes, more for larger pictures
    // (DisplayConfig::pixelScale).
    float pixelScale = 1.0f;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    float aspect = 0.0f;
    // Triangles drawn since resetTriangleCount, for the frame statistics.
    int32_t trianglesDrawn = 0;
    // Where each frame's time goes: the Engine marks its own passes, the scenes and the run loop theirs.
    PassTimes passTimes;

    // ---- The Engine's record of the GL state it last set, for reading ----
    struct Viewport {
        int32_t x, y, width, height;
    };
    Viewport viewport() const { return {viewportX, viewportY, viewportWidth, viewportHeight}; }
    const TextureBinding& lastBoundTexture() const { return boundTexture; }
    uint32_t primitiveMode() const { return drawMode; }
    bool shadowPassOpen() const { return inShadowPass; }
    // One texel of the picture targets, in texture coordinates.
    struct Texel {
        float width, height;
    };
    Texel texel() const { return {texelWidth, texelHeight}; }

protected:
    Engine();

private:
    friend class Singleton<Engine>;

    // The record of the GL state the Engine last set.
    int32_t viewportWidth = 0;
    int32_t viewportHeight = 0;
    int32_t viewportX = 0;
    int32_t viewportY = 0;
    TextureBinding boundTexture;
    uint32_t drawMode = 0;
    bool inShadowPass = false;
    // The chain blurPasses marks its passes in: the glow's inside applyHdr, else the picture's.
    Pass blurChain = Pass::Blur1;
    float texelWidth = 0.0f;
    float texelHeight = 0.0f;

    void teardown();
    // hdrTarget, brightTarget and blurTarget at the DisplayConfig's picture size, and what follows from it.
    void createPictureTargets();
    // The grain's uniforms that follow from the picture's size: its height and pixel scale.
    void setStaticScreen();
    // Builds "static" and sets what it takes once: its locations, the screen height and the grain's scale.
    void prepareStaticProgram();

    // ---- The Engine's own working state: its programs, their uniform locations, the texture queue ----
    // Mesh drawing with the bump program: how many of its three samplers a mesh binds, and whether it feeds
    // tangents (set by beginBumpShading).
    int32_t meshTextureCount = 0;
    bool useTangents = false;

    // The programs looked up at construction. The Engine builds and uses "bumpmap", "blur", "hdr_convert",
    // "hdr_tonemap" and "static"; "phong", "phongnotex", "glow_combine", "mixtwo", "drawtex" and "depthblur"
    // are looked up with them, as the show's start-up always has, and left to the scenes (none uses them).
    ShaderProgram* bumpProgram = nullptr;
    ShaderProgram* phongProgram = nullptr;
    ShaderProgram* phongNoTexProgram = nullptr;
    ShaderProgram* blurProgram = nullptr;
    ShaderProgram* glowCombineProgram = nullptr;
    ShaderProgram* mixTwoProgram = nullptr;
    ShaderProgram* drawTexProgram = nullptr;
    ShaderProgram* hdrConvertProgram = nullptr;
    ShaderProgram* hdrTonemapProgram = nullptr;
    ShaderProgram* depthBlurProgram = nullptr;
    ShaderProgram* staticProgram = nullptr;

    // The locations of each program the Engine uses (−1: absent), fetched when it is prepared.
    struct BumpLocations {
        int32_t tex = -1, bump = -1, depth = -1, shininess = -1, specular = -1, lightPos = -1, viewDir = -1,
                ambient = -1, diffuse = -1, dofPlanes = -1, receiveShadows = -1;
        int32_t tangent = -1, binormal = -1; // attributes
    } bumpLocations;
    struct BlurLocations {
        int32_t tex = -1;
        int32_t offsets[4] = {-1, -1, -1, -1}; // "s0" … "s3"
    } blurLocations;
    struct HdrConvertLocations {
        int32_t halfPixel = -1, image = -1, invRange = -1;
    } hdrConvertLocations;
    struct HdrTonemapLocations {
        int32_t base = -1, glow = -1, exposure = -1, blurStrength = -1, range = -1;
    } hdrTonemapLocations;
    struct StaticLocations {
        int32_t noise = -1, time = -1, screenY = -1, strength = -1;
    } staticLocations;

    struct QueuedTexture {
        int32_t location;
        TextureBinding binding;
    };
    QueuedTexture textureQueue[textureQueueCapacity] = {};
    int32_t textureQueueCount = 0;

    // The camera and field of view a shadow pass puts back.
    float savedEye[3] = {0.0f, 0.0f, 0.0f};
    float savedTarget[3] = {0.0f, 0.0f, 0.0f};
    float savedFov = 0.0f;
};

} // namespace halcyra
