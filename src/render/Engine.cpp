#include "render/Engine.h"

#include "assets/ShaderManager.h"
#include "assets/TextureManager.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace halcyra {
namespace {

// The program the Engine cannot run without; its absence means the data packet is incomplete.
ShaderProgram* requireProgram(ShaderProgram* program, const char* key) {
    if (program == nullptr)
        fatalError(std::string("The data packet has no \"") + key + "\" program.");
    return program;
}

} // namespace

Engine::Engine() {
    const DisplayConfig& config = DisplayConfig::instance();
    viewportX = 0;
    viewportY = 0;
    aspect = config.aspect;
    targetSize = config.renderTargetSize;
    RenderTarget::checkSupport();
    createPictureTargets();
    shadowTarget =
        RenderTarget::create(targetSize, targetSize, 1, false, true, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE);

    lights = &LightLibrary::instance();
    shaders = &ShaderManager::instance();
    models = &ModelLibrary::instance();
    models->uploadTexture = [this](Texture& texture, uint32_t minFilter, uint32_t magFilter) {
        return uploadTexture(texture, minFilter, magFilter);
    };
    textures = &TextureManager::instance();
    camera = &Camera::instance();

    boundTexture.id = 99;
    boundTexture.flag = 0;
    boundTexture.value = 0;
    boundTexture.target = 0;
    textureQueueCount = 0;
    drawMode = GL_TRIANGLES;

    bumpProgram = shaders->find("bumpmap");
    phongProgram = shaders->find("phong");
    phongNoTexProgram = shaders->find("phongnotex");
    blurProgram = shaders->find("blur");
    glowCombineProgram = shaders->find("glow_combine");
    mixTwoProgram = shaders->find("mixtwo");
    drawTexProgram = shaders->find("drawtex");
    hdrConvertProgram = shaders->find("hdr_convert");
    hdrTonemapProgram = shaders->find("hdr_tonemap");
    depthBlurProgram = shaders->find("depthblur");
    staticProgram = shaders->find("static");

    prepareBlurProgram();

    prepareStaticProgram();

    inShadowPass = false;
    applyGLDefaults();
    trianglesDrawn = 0;
}

Engine::~Engine() = default;

void Engine::createPictureTargets() {
    const DisplayConfig& config = DisplayConfig::instance();
    screenWidth = config.width;
    screenHeight = config.height;
    viewportWidth = screenWidth;
    viewportHeight = screenHeight;
    // The show's modes draw into square targets of 1024. Larger pictures (offline capture) draw into
    // targets of the picture's own size, which keep every pixel of it at half the cost and memory of the
    // next square power of two (2048 x 2048 for 1920 x 1080), and so do drafts and the smaller pictures of
    // adaptive quality; the shadow map stays square.
    const bool pictureSized = config.pictureSizedTargets();
    pixelScale = config.pixelScale();
    const int width = pictureSized ? config.width : targetSize;
    const int height = pictureSized ? config.height : targetSize;
    texelWidth = 1.0f / static_cast<float>(width);
    texelHeight = 1.0f / static_cast<float>(height);

    const bool halfFloat = GlExtensions::instance().GpuVendorClass == 2;
    const int halfWidth = width / 2;
    const int halfHeight = height / 2;
    for (auto* target : {&brightTarget, &blurTarget, &hdrTarget})
        target->reset();
    brightTarget = halfFloat ? RenderTarget::create(halfWidth, halfHeight, 1, false, false, GL_RGBA16F_ARB,
                                                    GL_RGBA, GL_FLOAT)
                             : RenderTarget::create(halfWidth, halfHeight, 1, false, false, GL_RGBA16,
                                                    GL_RGBA, GL_UNSIGNED_SHORT);
    blurTarget = halfFloat ? RenderTarget::create(halfWidth, halfHeight, 2, false, false, GL_RGB16F_ARB,
                                                  GL_RGB, GL_FLOAT)
                           : RenderTarget::create(halfWidth, halfHeight, 2, false, false, GL_RGB16, GL_RGB,
                                                  GL_UNSIGNED_SHORT);
    hdrTarget = RenderTarget::create(width, height, 2, false, false, GL_RGBA16F_ARB, GL_RGBA, GL_FLOAT);
}

void Engine::beginFrame() {
    GlExtensions::instance().glActiveTextureARB(GL_TEXTURE0_ARB);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setViewport(0, 0, screenWidth, screenHeight);
    glEnable(GL_DEPTH_TEST);
}

void Engine::resetShowState() {
    for (float& plane : dofPlanes)
        plane = 0.0f;
}

void Engine::resizePicture() {
    createPictureTargets();
    setViewport(0, 0, screenWidth, screenHeight);
    setStaticScreen();
}

void Engine::teardown() {
    releaseBlurProgram();
    shaders->release(staticProgram);
    for (auto* target : {&shadowTarget, &hdrTarget, &brightTarget, &blurTarget})
        target->reset();
    LightLibrary::destroy();
    ShaderManager::destroy();
    ModelLibrary::destroy();
    TextureManager::destroy();
    Camera::destroy();
}

void Engine::beginOrtho() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewportX, viewportWidth, viewportHeight, viewportY, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void Engine::endOrtho() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void Engine::setPerspective(float fov, float requestedAspect) {
    camera->fieldOfView = fov;
    const float used = requestedAspect < 0.0f ? aspect : requestedAspect;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The zooms at the ends of scenes reach 180 degrees, where the projection collapses to a point (and
    // beyond it turns the picture over); the lens stops just short of that.
    gluPerspective(std::clamp(fov, 0.5f, 179.5f), used, 1.0, 2000.0);
    glMatrixMode(GL_MODELVIEW);
}

void Engine::loadCameraView() {
    // Looking straight along the up vector (an orbit passing over its target, as the opening's does at
    // its first frame) leaves the view's roll undefined, and gluLookAt then builds a matrix that draws
    // nothing. The view is taken as tilted from looking along -z instead: -z is the top of the picture
    // when looking down, +z when looking up.
    const Vec3 direction = Vec3::sub(camera->target, camera->eye);
    Vec3 up = camera->up;
    const float across = Vec3::length(Vec3::cross(direction, up));
    if (across <= 1.0e-5f * Vec3::length(direction) * Vec3::length(up))
        up = {0.0f, 0.0f, Vec3::dot(direction, up) < 0.0f ? -1.0f : 1.0f};
    glLoadIdentity();
    gluLookAt(camera->eye.x, camera->eye.y, camera->eye.z, camera->target.x, camera->target.y,
              camera->target.z, up.x, up.y, up.z);
}

void Engine::setClearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}

void Engine::clear() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Engine::setViewport(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
    viewportX = x;
    viewportY = y;
    viewportWidth = width;
    viewportHeight = height;
}

void Engine::useProgram(const ShaderProgram* program) {
    GlExtensions::instance().glUseProgramObjectARB(program != nullptr ? program->handle : 0);
}

void Engine::useNoProgram() {
    GlExtensions::instance().glUseProgramObjectARB(0);
}

void Engine::queueTexture(int32_t location, TextureBinding binding) {
    if (textureQueueCount >= textureQueueCapacity) {
        showMessage("More than 16 textures were queued for one pass; the extra texture is left out.");
        return;
    }
    textureQueue[textureQueueCount++] = QueuedTexture{location, binding};
}

void Engine::bindQueuedTextures() {
    const GlExtensions& ext = GlExtensions::instance();
    for (int i = 0; i < textureQueueCount; ++i) {
        ext.glActiveTextureARB(GL_TEXTURE0_ARB + i);
        glBindTexture(textureQueue[i].binding.target, textureQueue[i].binding.id);
        shaders->setInt(textureQueue[i].location, i);
    }
    textureQueueCount = 0;
}

void Engine::drawScreenQuad() {
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, 1.0f);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glEnd();
}

void Engine::setPointSize(float pixels) {
    glPointSize(pixels * pixelScale);
}

void Engine::setLineWidth(float pixels) {
    glLineWidth(pixels * pixelScale);
}

void Engine::drawFadeQuad(const float (&color)[4]) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4fv(color);
    glBegin(GL_QUADS);
    glVertex3i(-100, 75, -100);
    glVertex3i(100, 75, -100);
    glVertex3i(100, -75, -100);
    glVertex3i(-100, -75, -100);
    glEnd();
    glDisable(GL_BLEND);
}

void Engine::applyGLDefaults() {
    const DisplayConfig& config = DisplayConfig::instance();
    glViewport(0, 0, config.width, config.height);
    setPerspective(45.0f, -1.0f);
    glLoadIdentity();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void Engine::prepareBumpProgram() {
    if (bumpProgram == nullptr)
        return;
    shaders->build(bumpProgram);
    bumpLocations.tangent = shaders->attribLocation(bumpProgram, "tangent");
    bumpLocations.binormal = shaders->attribLocation(bumpProgram, "binormal");
    bumpLocations.tex = shaders->uniformLocation(bumpProgram, "tex");
    bumpLocations.bump = shaders->uniformLocation(bumpProgram, "bump");
    bumpLocations.depth = shaders->uniformLocation(bumpProgram, "depth");
    bumpLocations.lightPos = shaders->uniformLocation(bumpProgram, "lightPos");
    bumpLocations.viewDir = shaders->uniformLocation(bumpProgram, "viewDir");
    bumpLocations.ambient = shaders->uniformLocation(bumpProgram, "ambient");
    bumpLocations.diffuse = shaders->uniformLocation(bumpProgram, "diffuse");
    bumpLocations.specular = shaders->uniformLocation(bumpProgram, "specular");
    bumpLocations.shininess = shaders->uniformLocation(bumpProgram, "shininess");
    bumpLocations.dofPlanes = shaders->uniformLocation(bumpProgram, "dofPlanes");
    bumpLocations.receiveShadows = shaders->uniformLocation(bumpProgram, "receive_shadows");
}

void Engine::prepareBlurProgram() {
    shaders->build(requireProgram(blurProgram, "blur"));
    blurLocations.tex = shaders->uniformLocation(blurProgram, "tex");
    static const char* const offsets[4] = {"s0", "s1", "s2", "s3"};
    for (int i = 0; i < 4; ++i)
        blurLocations.offsets[i] = shaders->uniformLocation(blurProgram, offsets[i]);
}

void Engine::prepareStaticProgram() {
    shaders->build(requireProgram(staticProgram, "static"));
    staticLocations.noise = shaders->uniformLocation(staticProgram, "noise");
    staticLocations.time = shaders->uniformLocation(staticProgram, "time");
    staticLocations.screenY = shaders->uniformLocation(staticProgram, "screenY");
    staticLocations.strength = shaders->uniformLocation(staticProgram, "strength");
    setStaticScreen();
}

void Engine::setStaticScreen() {
    useProgram(staticProgram);
    shaders->setFloat(shaders->uniformLocation(staticProgram, "sheight"), static_cast<float>(screenHeight));
    // The grain's texels and scan lines grow with the picture beyond the show's modes (exactly 1 at them).
    shaders->setFloat(shaders->uniformLocation(staticProgram, "invPixelScale"),
                      1.0f / DisplayConfig::instance().screenScale());
    useNoProgram();
}

void Engine::refreshPrograms() {
    prepareBlurProgram();
    prepareStaticProgram();
    if (bumpProgram != nullptr && bumpProgram->built)
        prepareBumpProgram();
    if (hdrConvertProgram != nullptr && hdrConvertProgram->built)
        prepareHdrPrograms();
}

void Engine::prepareHdrPrograms() {
    if (hdrConvertProgram != nullptr) {
        shaders->build(hdrConvertProgram);
        hdrConvertLocations.halfPixel = shaders->uniformLocation(hdrConvertProgram, "halfPixel");
        hdrConvertLocations.image = shaders->uniformLocation(hdrConvertProgram, "Image");
        hdrConvertLocations.invRange = shaders->uniformLocation(hdrConvertProgram, "invRange");
    }
    if (hdrTonemapProgram != nullptr) {
        shaders->build(hdrTonemapProgram);
        hdrTonemapLocations.base = shaders->uniformLocation(hdrTonemapProgram, "Base");
        hdrTonemapLocations.glow = shaders->uniformLocation(hdrTonemapProgram, "Blur");
        hdrTonemapLocations.exposure = shaders->uniformLocation(hdrTonemapProgram, "exposure");
        hdrTonemapLocations.blurStrength = shaders->uniformLocation(hdrTonemapProgram, "blurStrength");
        hdrTonemapLocations.range = shaders->uniformLocation(hdrTonemapProgram, "range");
    }
}

void Engine::releaseBumpProgram() {
    shaders->release(bumpProgram);
}

void Engine::releaseBlurProgram() {
    shaders->release(blurProgram);
}

void Engine::releaseHdrPrograms() {
    shaders->release(hdrConvertProgram);
    shaders->release(hdrTonemapProgram);
}

TextureBinding Engine::uploadTexture(Texture& texture, uint32_t minFilter, uint32_t magFilter) {
    if (texture.binding.id != TextureBinding::noObject)
        return texture.binding;
    const uint64_t begin = performanceCounter();
    const double cpuBegin = processCpuMilliseconds();
    static const uint8_t magenta[3] = {255, 0, 255};
    const bool decoded = !texture.pixels.empty() && texture.width > 0 && texture.height > 0;
    if (!decoded)
        showMessage("Texture \"" + texture.name + "\" has no picture; it is shown in magenta.");
    glGenTextures(1, &texture.binding.id);
    texture.binding.value = 0;
    texture.binding.flag = 0;
    texture.binding.target = GL_TEXTURE_2D;
    glBindTexture(GL_TEXTURE_2D, texture.binding.id);
    if (decoded)
        glTexImage2D(GL_TEXTURE_2D, 0, texture.bitsPerPixel / 8, texture.width, texture.height, 0,
                     texture.format, GL_UNSIGNED_BYTE, texture.pixels.data());
    else
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, magenta);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    if (const auto generateMipmap = GlExtensions::instance().glGenerateMipmapEXT)
        generateMipmap(GL_TEXTURE_2D);
    // The GL object now holds the picture; nothing reads the decoded copy again.
    texture.pixels = std::vector<uint8_t>();
    uploadTimes.wall += counterMilliseconds(begin, performanceCounter());
    uploadTimes.cpu += processCpuMilliseconds() - cpuBegin;
    return texture.binding;
}

TextureBinding Engine::createBlankTexture(int width, int height, uint32_t texelType, bool mipmaps) {
    TextureBinding binding;
    glGenTextures(1, &binding.id);
    glBindTexture(GL_TEXTURE_2D, binding.id);
    const std::vector<uint8_t> zeros(
        static_cast<size_t>(width) * height * 4 * (texelType == GL_FLOAT ? 4 : 1), 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, texelType, zeros.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (mipmaps) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        GlExtensions::instance().glGenerateMipmapEXT(GL_TEXTURE_2D);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    binding.flag = 0;
    binding.value = 0;
    binding.target = GL_TEXTURE_2D;
    return binding;
}

void Engine::bindTexture(TextureBinding binding) {
    glBindTexture(binding.target, binding.id);
    boundTexture = binding;
}

void Engine::copyScreenToTexture(TextureBinding binding, int x, int y, int width, int height) {
    bindTexture(binding);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, width, height);
}

int Engine::blurPasses(float step, TextureBinding source, int passCount, bool toScreen) {
    const GlExtensions& ext = GlExtensions::instance();
    const float near = 0.04f * step;
    const float far = 0.08f * step;
    const float horizontal[4][2] = {{-near, 0.0f}, {-far, 0.0f}, {near, 0.0f}, {far, 0.0f}};
    const float vertical[4][2] = {{0.0f, -near}, {0.0f, -far}, {0.0f, near}, {0.0f, far}};
    blurTarget->bind();
    useProgram(blurProgram);
    for (int i = 0; i < passCount; ++i) {
        passTimes.mark(chainPass(blurChain, i));
        const float spread = static_cast<float>(1 << (i / 2));
        if (i == passCount - 1 && toScreen)
            blurTarget->unbind();
        else
            blurTarget->setDrawBuffer(GL_COLOR_ATTACHMENT0_EXT + (i % 2));
        queueTexture(blurLocations.tex, i == 0 ? source : blurTarget->textures[(i + 1) % 2]);
        bindQueuedTextures();
        const float(&offsets)[4][2] = i % 2 == 0 ? horizontal : vertical;
        for (int k = 0; k < 4; ++k) {
            const float scaled[2] = {offsets[k][0] * spread, offsets[k][1] * spread};
            ext.glUniform2fvARB(blurLocations.offsets[k], 1, scaled);
        }
        drawScreenQuad();
    }
    blurTarget->unbind();
    useNoProgram();
    return (passCount - 1) % 2;
}

void Engine::applyHdr(float exposureExponent, float blurStrength, float range, bool keepTarget) {
    passTimes.mark(Pass::Bright);
    brightTarget->bind();
    useProgram(hdrConvertProgram);
    queueTexture(hdrConvertLocations.image, hdrTarget->textures[1]);
    bindQueuedTextures();
    shaders->setFloat(hdrConvertLocations.halfPixel, texelWidth * 0.5f * pixelScale);
    shaders->setFloat(hdrConvertLocations.invRange, 0.25f / range);
    drawScreenQuad();
    brightTarget->unbind();

    blurChain = Pass::Glow1;
    const int glow = blurPasses(0.1f, brightTarget->textures[0], 4, false);
    blurChain = Pass::Blur1;

    passTimes.mark(Pass::Tonemap);
    if (!keepTarget) {
        hdrTarget->bind();
        hdrTarget->setDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    }
    useProgram(hdrTonemapProgram);
    queueTexture(hdrTonemapLocations.base, hdrTarget->textures[1]);
    queueTexture(hdrTonemapLocations.glow, blurTarget->textures[glow]);
    bindQueuedTextures();
    shaders->setFloat(hdrTonemapLocations.exposure,
                      static_cast<float>(std::pow(16.0, static_cast<double>(exposureExponent))));
    shaders->setFloat(hdrTonemapLocations.blurStrength, blurStrength);
    shaders->setFloat(hdrTonemapLocations.range, range);
    drawScreenQuad();
    useNoProgram();
    hdrTarget->unbind();
}

void Engine::drawNoiseOverlay(float time, float strength, TextureBinding noise) {
    passTimes.mark(Pass::Grain);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    useProgram(staticProgram);
    queueTexture(staticLocations.noise, noise);
    bindQueuedTextures();
    shaders->setFloat(staticLocations.time, time);
    shaders->setFloat(staticLocations.strength, strength);
    drawScreenQuad();
    useNoProgram();
    glDisable(GL_BLEND);
}

} // namespace halcyra
