// The stages of loading, one at a time, on a real GL context (SDL's offscreen driver: llvmpipe where no GPU
// is there) with the built show data: decoding the texture files, alone and through the decoding threads,
// uploading a texture with its mipmaps, drawing and presenting one loading frame, building a program,
// reading a 3DS model. Times are wall-clock; the CPU column counts every thread of the process, the GL
// driver's included.
#include "GlBenchMain.h"
#include "app/MessageBox.h"
#include "app/Platform.h"
#include "app/Presentation.h"
#include "app/ScreenFramebuffer.h"
#include "app/Startup.h"
#include "assets/DataPacket.h"
#include "assets/ImageDecodeQueue.h"
#include "assets/ShaderManager.h"
#include "assets/Texture.h"
#include "assets/TextureLoader.h"
#include "core/DisplayConfig.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "render/Engine.h"
#include "scene3ds/ObjectLoader.h"
#include "timeline/AssetList.h"
#include "timeline/BitmapFont.h"
#include "timeline/LoadingScreen.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace halcyra {
namespace {

const std::string dataDir = HALCYRA_DATA_DIR;

Texture decoded(const std::string& file, ImageKind kind) {
    Texture texture("bench");
    TextureLoader().decodeFile((dataDir + "/textures/" + file).c_str(), texture, static_cast<int>(kind));
    return texture;
}

void BM_DecodeTexture(benchmark::State& state, const char* file, ImageKind kind) {
    for (auto _ : state) {
        Texture texture = decoded(file, kind);
        benchmark::DoNotOptimize(texture.pixels.data());
    }
}
BENCHMARK_CAPTURE(BM_DecodeTexture, png_512_rgb, "c_tamrik.png", ImageKind::Png)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeTexture, png_1024_rgba, "credits.png", ImageKind::Png)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeTexture, jpeg_planet, "planet.jpg", ImageKind::Jpeg)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Every image of textures/tex, one after another on this thread (0 workers) or on the decoding threads.
void BM_DecodeTextureList(benchmark::State& state) {
    std::vector<std::string> lines;
    readAssetList((dataDir + "/textures/tex").c_str(), minTextureLineLength,
                  [&](const std::string* line) { lines.push_back(dataDir + "/" + *line); });
    const unsigned workers = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        if (workers == 0) {
            for (const std::string& line : lines) {
                Texture texture("bench");
                TextureLoader().decodeFile(line.c_str(), texture, static_cast<int>(textureKindOf(line)));
                benchmark::DoNotOptimize(texture.pixels.data());
            }
            continue;
        }
        ImageDecodeQueue queue(workers);
        for (const std::string& line : lines)
            queue.add(line, "bench", static_cast<int>(textureKindOf(line)));
        for (const std::string& line : lines)
            benchmark::DoNotOptimize(queue.take(line, "bench", static_cast<int>(textureKindOf(line))));
    }
}
BENCHMARK(BM_DecodeTextureList)
    ->Arg(0)
    ->Arg(static_cast<int>(ImageDecodeQueue::defaultWorkers()))
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Engine::uploadTexture's first call: the GL object, level 0 and the mipmap chain. The textures are kept,
// as loading keeps them, so that every upload takes fresh memory.
void BM_UploadTexture(benchmark::State& state, const char* file) {
    Engine& engine = Engine::instance();
    const Texture source = decoded(file, ImageKind::Png);
    std::vector<GLuint> kept;
    for (auto _ : state) {
        Texture texture = source;
        engine.uploadTexture(texture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
        glFinish();
        kept.push_back(texture.binding.id);
    }
    glDeleteTextures(static_cast<GLsizei>(kept.size()), kept.data());
}
BENCHMARK_CAPTURE(BM_UploadTexture, png_512_rgb, "c_tamrik.png")
    ->Iterations(30)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UploadTexture, png_1024_rgba, "credits.png")
    ->Iterations(10)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// One step of the loading screen, the logo, the bar and the status line, drawn and presented: into the
// single-sampled screen as loading draws it (1), or into the multisampled one (0).
void BM_LoadingFrame(benchmark::State& state) {
    const Texture logo = decoded("logo.png", ImageKind::Png);
    GLuint logoTexture = 0;
    glGenTextures(1, &logoTexture);
    glBindTexture(GL_TEXTURE_2D, logoTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, logo.bitsPerPixel / 8, logo.width, logo.height, 0, logo.format,
                 GL_UNSIGNED_BYTE, logo.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    BitmapFont font;
    font.create(DisplayConfig::instance().fontFile, 12);
    setSingleSampledScreen(state.range(0) != 0);
    float progress = 0.0f;
    for (auto _ : state) {
        progress += loadingStep;
        drawLoadingCanvas(progress, logoTexture, 1, font);
        glFlush();
        swapBuffers();
    }
    glFinish();
    setSingleSampledScreen(false);
    font.destroy();
    glDeleteTextures(1, &logoTexture);
}
BENCHMARK(BM_LoadingFrame)
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// What building the status line's font costs; loading builds it once.
void BM_LoadingFont(benchmark::State& state) {
    for (auto _ : state) {
        BitmapFont font;
        font.create(DisplayConfig::instance().fontFile, 12);
        font.destroy();
    }
}
BENCHMARK(BM_LoadingFont)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// Compile and link (Mesa's shader cache is warm after the first round), then release.
void BM_BuildProgram(benchmark::State& state, const char* key) {
    ShaderManager& shaders = ShaderManager::instance();
    ShaderProgram* program = shaders.find(key);
    if (program == nullptr) {
        state.SkipWithError("the data packet has no such program");
        return;
    }
    for (auto _ : state) {
        shaders.build(program);
        state.PauseTiming();
        shaders.release(program);
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_BuildProgram, bumpmap, "bumpmap")
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// A whole 3DS model: chunks, meshes, tangent frames and vertex buffers (its material maps are not
// registered here, so they take the stand-ins).
void BM_LoadModel(benchmark::State& state, const char* file) {
    for (auto _ : state) {
        MessageHold quiet;
        ObjectLoader loader;
        loader.loadModel((dataDir + "/models/" + file).c_str(), "bench");
        benchmark::DoNotOptimize(loader.model.get());
    }
}
BENCHMARK_CAPTURE(BM_LoadModel, mixmax3, "mixmax3.3ds")
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace halcyra

int main(int argc, char** argv) {
    return halcyra::runGlBenchmarks(argc, argv, halcyra::dataDir);
}
