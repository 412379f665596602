#include "timeline/Demo.h"

#include "assets/DataPacket.h"
#include "assets/ImageDecodeQueue.h"
#include "assets/TextureManager.h"
#include "core/DisplayConfig.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "render/Engine.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"
#include "scenes/CreditsScene.h"
#include "scenes/CubeRainScene.h"
#include "scenes/GreetingsScene.h"
#include "scenes/MetaballScene.h"
#include "scenes/OpeningScene.h"
#include "scenes/PlanetScene.h"
#include "scenes/WaterScene.h"
#include "show/ShowLayout.h"
#include "timeline/AssetList.h"
#include "timeline/LoadingScreen.h"
#include "timeline/ShaderWatch.h"
#include "timeline/Soundtrack.h"
#include "timeline/Transport.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace halcyra {

namespace {

// A stage's clocks: the wall clock and the process's CPU time.
struct StageClock {
    uint64_t counter = performanceCounter();
    double cpu = processCpuMilliseconds();

    LoadingTimes::Figure elapsed() const {
        return {static_cast<double>(performanceCounter() - counter) * 1000.0 /
                    static_cast<double>(performanceFrequency()),
                processCpuMilliseconds() - cpu};
    }
};

// Notes the time of the first frame that is presented, then hands every frame on.
class FirstFrameWatch final : public FrameObserver {
public:
    FirstFrameWatch(FrameObserver* next, LoadingTimes& times) : next(next), times(times) {}
    void framePresented(int sceneIndex, const Scene& scene) override {
        if (times.firstFrameCounter == 0) {
            times.stages[LoadingTimes::FirstFrame] = since.elapsed();
            times.residentAfter[LoadingTimes::FirstFrame] = residentMebibytes();
            times.firstFrameCounter = performanceCounter();
        }
        if (next != nullptr)
            next->framePresented(sceneIndex, scene);
    }

private:
    FrameObserver* next;
    LoadingTimes& times;
    StageClock since;
};

} // namespace

Demo::Demo(const std::string& shaderFolder, Soundtrack* soundtrack) {
    timeStage(LoadingTimes::LoadingScreen, [&] { startLoadingScreen(); });
    // The images decode on worker threads from here on, the pause included.
    prefetchTextureList();
    pause();
    timeStage(LoadingTimes::DataPacket, [&] {
        DataPacket packet("data.qz");
        if (!shaderFolder.empty())
            shaderSources = std::make_unique<ShaderWatch>(shaderFolder);
    });
    drawLoadingFrame(loadingStep, 1);
    timeStage(LoadingTimes::Engine, [&] { engine = &Engine::instance(); });
    timeStage(LoadingTimes::TextureList, [&] { readTextureList(loadingStep); });
    drawLoadingFrame(0.0f, 2);
    timeStage(LoadingTimes::ModelList, [&] { readModelList(loadingStep); });
    drawLoadingFrame(0.0f, 3);
    timeStage(LoadingTimes::CameraList, [&] { readCameraList(loadingStep); });
    drawLoadingFrame(0.0f, 4);
    timeStage(LoadingTimes::LightList, [&] { readLightList(loadingStep); });
    drawLoadingFrame(0.0f, 5);
    timeStage(LoadingTimes::Scenes, [&] { createScenes(loadingStep); });
    drawLoadingFrame(0.0f, 6);
    finishLoadingScreen();
    if (soundtrack != nullptr)
        timeStage(LoadingTimes::MusicOpen, [&] { soundtrack->open("muzak.mp3"); });
    // The sound device is warmed up (opened without a sound) within it.
    pause([&] {
        if (soundtrack != nullptr)
            soundtrack->warmUp();
    });
}

// The logo stays registered; its GL texture goes with the texture registry.
Demo::~Demo() {
    scenes.clear();
}

void Demo::pause(const std::function<void()>& work) {
    const StageClock clock;
    if (work)
        work();
    const double worked = clock.elapsed().wall;
    if (worked < 500.0)
        sleepMilliseconds(static_cast<uint32_t>(500.0 - worked));
    const LoadingTimes::Figure paused = clock.elapsed();
    loadingTimes.pauses.wall += paused.wall;
    loadingTimes.pauses.cpu += paused.cpu;
}

void Demo::timeStage(LoadingTimes::Stage stage, const std::function<void()>& work) {
    LoadingTimes::Figure* figures = loadingTimes.stages;
    const LoadingTimes::Figure frames = figures[LoadingTimes::LoadingFrames];
    const LoadingTimes::Figure uploads =
        engine != nullptr ? LoadingTimes::Figure{engine->uploadTimes.wall, engine->uploadTimes.cpu}
                          : LoadingTimes::Figure{};
    const StageClock clock;
    work();
    const LoadingTimes::Figure total = clock.elapsed();
    LoadingTimes::Figure stageUploads{};
    if (engine != nullptr)
        stageUploads = {engine->uploadTimes.wall - uploads.wall, engine->uploadTimes.cpu - uploads.cpu};
    figures[LoadingTimes::TextureUploads].wall += stageUploads.wall;
    figures[LoadingTimes::TextureUploads].cpu += stageUploads.cpu;
    const LoadingTimes::Figure& framesNow = figures[LoadingTimes::LoadingFrames];
    figures[stage].wall += total.wall - (framesNow.wall - frames.wall) - stageUploads.wall;
    figures[stage].cpu += total.cpu - (framesNow.cpu - frames.cpu) - stageUploads.cpu;
    loadingTimes.residentAfter[stage] = residentMebibytes();
}

void Demo::startLoadingScreen() {
    progress = 0.0f;
    // The loading frames hold no edges that multisampling would smooth: they skip it.
    setSingleSampledScreen(true);
    const DisplayConfig& display = DisplayConfig::instance();
    // The text grows with the picture; a small draft keeps it readable.
    loadingFont.create(display.fontFile,
                       std::max(8, static_cast<int>(std::lround(12.0f * display.screenScale()))));
    TextureManager& textures = TextureManager::instance();
    textures.loadFile("textures/logo.png", "logo.png", static_cast<int>(ImageKind::Png));
    logo = textures.find("logo.png");

    // The logo is uploaded here, without mipmaps, since the Engine does not exist yet. A logo that did not
    // decode is left out of the loading screen.
    if (logo != nullptr && !logo->pixels.empty()) {
        glGenTextures(1, &logoTexture);
        logo->binding.id = logoTexture;
        logo->binding.value = 0;
        logo->binding.flag = 0;
        logo->binding.target = GL_TEXTURE_2D;
        glBindTexture(GL_TEXTURE_2D, logoTexture);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, logo->bitsPerPixel / 8, logo->width, logo->height, 0, logo->format,
                     GL_UNSIGNED_BYTE, logo->pixels.data());
        glPopClientAttrib();
        logo->pixels = std::vector<uint8_t>();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    const DisplayConfig& config = DisplayConfig::instance();
    glViewport(0, 0, config.width, config.height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glLoadIdentity();
    drawLoadingFrame(0.0f, 0);
}

void Demo::finishLoadingScreen() {
    loadingFont.destroy();
    setSingleSampledScreen(false);
    // What loading freed and nothing took again (file bytes, the pictures now in GL objects) goes back.
    returnFreeMemory();
}

void Demo::readList(const char* path, size_t minimumLength, float step, int stage,
                    const std::function<void(const std::string& line)>& load) {
    readAssetList(path, minimumLength, [&](const std::string* line) {
        if (line != nullptr)
            load(*line);
        drawLoadingFrame(step, stage);
    });
}

void Demo::drawLoadingFrame(float step, int stage) {
    const StageClock clock;
    progress += step;
    drawLoadingCanvas(progress, logoTexture, stage, loadingFont);
    glFlush();
    presentFrame();
    const LoadingTimes::Figure frame = clock.elapsed();
    loadingTimes.stages[LoadingTimes::LoadingFrames].wall += frame.wall;
    loadingTimes.stages[LoadingTimes::LoadingFrames].cpu += frame.cpu;
    ++loadingTimes.loadingFrames;
}

void Demo::prefetchTextureList() {
    decodes = std::make_unique<ImageDecodeQueue>(ImageDecodeQueue::defaultWorkers());
    MessageHold quiet;
    readAssetList("textures/tex", minTextureLineLength, [&](const std::string* line) {
        if (line != nullptr)
            decodes->add(*line, textureNameOf(*line), static_cast<int>(textureKindOf(*line)));
    });
}

// Each line registers its image as TextureManager::loadFile would, decode messages first, taking the
// decode begun ahead when there is one.
void Demo::readTextureList(float step) {
    readAssetList("textures/tex", minTextureLineLength, [&](const std::string* line) {
        if (line != nullptr) {
            const std::string name = textureNameOf(*line);
            const int kind = static_cast<int>(textureKindOf(*line));
            std::optional<DecodedImage> decoded;
            if (decodes != nullptr)
                decoded = decodes->take(*line, name, kind);
            if (decoded) {
                showMessages(decoded->messages);
                TextureManager::instance().add(std::move(decoded->texture));
            } else {
                TextureManager::instance().loadFile(line->c_str(), name.c_str(), kind);
            }
        }
        drawLoadingFrame(step, 1);
    });
    decodes.reset();
}

void Demo::readModelList(float step) {
    readList("models/models", minModelLineLength, step, 2,
             [&](const std::string& line) { engine->models->load(line.c_str(), modelNameOf(line).c_str()); });
}

void Demo::readCameraList(float step) {
    readList("models/cameras", minModelLineLength, step, 3, [&](const std::string& line) {
        engine->camera->loadTrack(line.c_str(), modelNameOf(line).c_str());
    });
}

void Demo::readLightList(float step) {
    readList("models/lights", minModelLineLength, step, 4, [&](const std::string& line) {
        engine->lights->loadTrack(line.c_str(), modelNameOf(line).c_str());
    });
}

void Demo::createScenes(float step) {
    sceneCount = 7;
    auto add = [&](std::unique_ptr<Scene> scene) {
        scenes.push_back(std::move(scene));
        drawLoadingFrame(step, 5);
    };
    add(std::make_unique<OpeningScene>());
    add(std::make_unique<CreditsScene>());
    add(std::make_unique<MetaballScene>());
    add(std::make_unique<WaterScene>());
    add(std::make_unique<CubeRainScene>());
    add(std::make_unique<GreetingsScene>());
    add(std::make_unique<PlanetScene>());
}

std::vector<float> Demo::sceneLengths() {
    return {OpeningScene::length,  CreditsScene::length,   MetaballScene::length, WaterScene::length,
            CubeRainScene::length, GreetingsScene::length, PlanetScene::length};
}

std::vector<double> Demo::sceneStarts() {
    std::vector<double> starts;
    double start = 0.0;
    for (const float length : sceneLengths()) {
        starts.push_back(start);
        start += length;
    }
    return starts;
}

std::vector<std::string> Demo::sceneNames() {
    return {OpeningScene::name,  CreditsScene::name,   MetaballScene::name, WaterScene::name,
            CubeRainScene::name, GreetingsScene::name, PlanetScene::name};
}

void Demo::toShowTop() {
    DisplayConfig::instance().resetLook();
    engine->camera->resetView();
    engine->lights->resetLights();
    engine->resetShowState();
}

std::string Demo::layoutJson() {
    JsonWriter json;
    json.beginObject().member("tempo", show::tempo).member("beatsPerBar", show::beatsPerBar);
    json.member("beatMs", show::beatMs).member("barMs", show::barMs);
    json.member("replayRate", FrameSchedule::replayRate);
    const std::vector<float> lengths = sceneLengths();
    const std::vector<double> starts = sceneStarts();
    const std::vector<std::string> names = sceneNames();
    json.key("scenes").beginArray();
    for (size_t i = 0; i < lengths.size(); ++i)
        json.beginObject()
            .member("name", names[i])
            .member("beats", show::sceneBeats[i])
            .member("startMs", starts[i])
            .member("lengthMs", static_cast<double>(lengths[i]))
            .endObject();
    json.endArray();
    json.member("lengthMs", starts.back() + lengths.back());
    json.key("marks").beginObject();
    json.member("silentBeat", show::silentBeat).member("whiteScreenBeat", show::whiteScreenBeat);
    json.member("planetFirstFrameMs", starts.back());
    json.member("whiteScreenMs", starts.back() + static_cast<double>(show::planetWhiteout));
    json.endObject();
    json.key("modes").beginArray();
    for (const DisplayMode& mode : displayModes)
        json.beginObject()
            .member("caption", mode.caption)
            .member("width", mode.width)
            .member("height", mode.height)
            .endObject();
    json.endArray().endObject();
    return json.document();
}

void Demo::play(const PlayOptions& options) {
    FrameSchedule& schedule = *options.schedule;
    Transport* transport = options.transport;
    Soundtrack* soundtrack = options.soundtrack;
    const StageClock clock;
    if (soundtrack != nullptr) {
        soundtrack->open("muzak.mp3");
        // A start later in the show, or a seek, replays the scenes' logic first; the music waits for the
        // picture, and for the end of a pause.
        // Frames reach the screen a frame's time after they are begun; the music is heard at its clock's.
        schedule.drawAhead();
        schedule.onFirstDrawnFrame = [&] {
            if (transport == nullptr || !transport->paused())
                soundtrack->start(schedule.firstDrawnTime());
        };
    }
    if (loadingTimes.stages[LoadingTimes::MusicOpen].wall == 0.0) {
        loadingTimes.stages[LoadingTimes::MusicOpen] = clock.elapsed();
        loadingTimes.residentAfter[LoadingTimes::MusicOpen] = residentMebibytes();
    }
    // The music is kept in step with the picture, and how well it kept is reported.
    FrameObservers observers;
    if (options.observer != nullptr)
        observers.add(options.observer);
    if (soundtrack != nullptr)
        observers.add(soundtrack);
    FirstFrameWatch watch(&observers, loadingTimes);
    if (transport != nullptr)
        transport->attach(&schedule, soundtrack);
    playScenes(scenes, schedule, &watch, transport, options.hook, [this] { toShowTop(); });
    if (transport != nullptr)
        transport->attach(nullptr, nullptr);
    schedule.onFirstDrawnFrame = nullptr;
    if (soundtrack != nullptr)
        soundtrack->stop();
}

} // namespace halcyra
