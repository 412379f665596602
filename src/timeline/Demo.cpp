#include "timeline/Demo.h"

#include "assets/DataPacket.h"
#include "assets/TextureManager.h"
#include "core/DisplayConfig.h"
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
#include "timeline/AssetList.h"
#include "timeline/LoadingScreen.h"
#include "timeline/MusicStream.h"

#include <GL/gl.h>

namespace halcyra {

Demo::Demo() {
    startLoadingScreen();
    sleepMilliseconds(500);
    { DataPacket packet("data.qz"); }
    drawLoadingFrame(loadingStep, 1);
    engine = &Engine::instance();
    readTextureList(loadingStep);
    drawLoadingFrame(0.0f, 2);
    readModelList(loadingStep);
    drawLoadingFrame(0.0f, 3);
    readCameraList(loadingStep);
    drawLoadingFrame(0.0f, 4);
    readLightList(loadingStep);
    drawLoadingFrame(0.0f, 5);
    createScenes(loadingStep);
    drawLoadingFrame(0.0f, 6);
    sleepMilliseconds(500);
}

// The logo stays registered; its GL texture goes with the texture registry.
Demo::~Demo() {
    scenes.clear();
}

void Demo::startLoadingScreen() {
    progress = 0.0f;
    TextureManager& textures = TextureManager::instance();
    textures.loadFile("textures/logo.png", "logo.png", static_cast<int>(TextureKind::Png));
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

void Demo::drawLoadingFrame(float step, int stage) {
    progress += step;
    drawLoadingCanvas(progress, logoTexture, stage);
    glFlush();
    presentFrame();
}

void Demo::readList(const char* path, size_t minimumLength, float step, int stage,
                    const std::function<void(const std::string& line)>& load) {
    readAssetList(path, minimumLength, [&](const std::string* line) {
        if (line != nullptr)
            load(*line);
        drawLoadingFrame(step, stage);
    });
}

void Demo::readTextureList(float step) {
    readList("textures/tex", minTextureLineLength, step, 1, [](const std::string& line) {
        TextureManager::instance().loadFile(line.c_str(), textureNameOf(line).c_str(),
                                            static_cast<int>(textureKindOf(line)));
    });
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

void Demo::play(const PlayOptions& options) {
    FrameSchedule& schedule = *options.schedule;
    MusicStream* music = nullptr;
    if (options.music) {
        music = &MusicStream::instance();
        music->open("muzak.mp3");
        // A start later in the show replays the scenes' logic first; the music waits for the picture.
        schedule.onFirstDrawnFrame = [&] { music->play(schedule.firstDrawnTime() / 1000.0); };
    }
    float carry = 0.0f;
    double sceneStart = 0.0;
    for (int i = 0; i < static_cast<int>(scenes.size()); ++i) {
        carry = scenes[i]->run(carry, PlaybackContext{&schedule, options.observer, i, sceneStart});
        sceneStart += scenes[i]->endTime;
    }
    schedule.onFirstDrawnFrame = nullptr;
    if (music != nullptr) {
        music->stop();
        music->release();
        MusicStream::destroy();
    }
}

} // namespace halcyra
