// What a frame of the show costs when its scene draws nothing: the floor every scene's frame stands on. One
// iteration is the standard frame with an empty scene: the screen and the HDR target cleared, the HDR pass
// (bright pass, four glow blurs, tonemap), the picture's four blurs, the mask composite onto the screen, the
// grain, and the present, at 1024 x 768 (the 4:3 mode: square 1024 targets, the screen multisampled where the
// driver allows) on SDL's offscreen driver. scripts/bench runs it alternating with the scenes' own frames
// and reports each scene against it.
#include "GlBenchMain.h"
#include "app/Platform.h"
#include "app/Startup.h"
#include "assets/DataPacket.h"
#include "assets/ShaderManager.h"
#include "assets/TextureManager.h"
#include "core/DisplayConfig.h"
#include "core/Platform.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "timeline/AssetList.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace halcyra {
namespace {

const std::string dataDir = HALCYRA_DATA_DIR;

TextureBinding showTexture(Engine& engine, const char* file, const char* name, ImageKind kind) {
    engine.textures->loadFile((dataDir + "/textures/" + file).c_str(), name, static_cast<int>(kind));
    return engine.uploadTexture(*engine.textures->find(name), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
}

void BM_PostChain(benchmark::State& state) {
    Engine& engine = Engine::instance();
    ShaderManager& shaders = *engine.shaders;
    const TextureBinding mask = showTexture(engine, "mask1.png", "mask1.png", ImageKind::Png);
    const TextureBinding noise = showTexture(engine, "c_noise.jpg", "c_noise.jpg", ImageKind::Jpeg);
    ShaderProgram* maskProgram = shaders.find("mask");
    if (maskProgram == nullptr) {
        state.SkipWithError("the data packet has no mask program");
        return;
    }
    shaders.build(maskProgram);
    const int32_t base = shaders.uniformLocation(maskProgram, "base");
    const int32_t maskLocation = shaders.uniformLocation(maskProgram, "mask");
    const int32_t colorAdjust = shaders.uniformLocation(maskProgram, "colorAdjust");
    const int32_t fade = shaders.uniformLocation(maskProgram, "fade");
    engine.prepareHdrPrograms();
    engine.setPerspective(100.0f, -1.0f);
    float time = 0.0f;
    // The first frames compile the driver's code for the passes' programs and states: they are drawn before
    // the timing begins, as the show's loading screen runs before its frames.
    int warmUp = 5;
    auto frame = [&] {
        time += 40.0f;
        const float t = std::fmod(time, 14436.0f);
        engine.loadCameraView();
        engine.clear();
        engine.hdrTarget->bind();
        engine.hdrTarget->setDrawBuffer(GL_COLOR_ATTACHMENT1_EXT);
        engine.clear();
        engine.hdrTarget->unbind();
        glDisable(GL_DEPTH_TEST);
        engine.applyHdr(1.0f + 0.04f * std::sin(0.033333335f * t * t), 0.9f, 16.0f, false);
        const int result = engine.blurPasses(0.01f, engine.hdrTarget->textures[0], 4, false);
        static const float one[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        engine.useProgram(maskProgram);
        engine.queueTexture(base, engine.blurTarget->textures[result]);
        engine.queueTexture(maskLocation, mask);
        engine.bindQueuedTextures();
        shaders.setVec4(colorAdjust, one);
        shaders.setFloat(fade, 0.0f);
        engine.drawScreenQuad();
        engine.useNoProgram();
        engine.drawNoiseOverlay(static_cast<float>(static_cast<int>(t) % 1000) * 0.01f, 0.1f, noise);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        presentFrame();
    };
    for (int i = 0; i < warmUp; ++i)
        frame();
    glFinish();
    for (auto _ : state)
        frame();
    glFinish();
    engine.releaseHdrPrograms();
    shaders.release(maskProgram);
}
BENCHMARK(BM_PostChain)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace halcyra

int main(int argc, char** argv) {
    return halcyra::runGlBenchmarks(argc, argv, halcyra::dataDir);
}
