#include "timeline/Demo.h"

#include "app/Display.h"
#include "assets/DataPacket.h"
#include "assets/TextureManager.h"
#include "core/DisplayConfig.h"
#include "render/Engine.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"
#include "scenes/PlaceholderScene.h"
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
    swapBuffers();
}

void Demo::readTextureList(float step) {
    readAssetList("textures/tex", minTextureLineLength, [&](const std::string* line) {
        if (line != nullptr) {
            TextureManager::instance().loadFile(line->c_str(), textureNameOf(*line).c_str(),
                                                static_cast<int>(textureKindOf(*line)));
        }
        drawLoadingFrame(step, 1);
    });
}

void Demo::readModelList(float step) {
    readAssetList("models/models", minModelLineLength, [&](const std::string* line) {
        if (line != nullptr)
            engine->models->load(line->c_str(), modelNameOf(*line).c_str());
        drawLoadingFrame(step, 2);
    });
}

void Demo::readCameraList(float step) {
    readAssetList("models/cameras", minModelLineLength, [&](const std::string* line) {
        if (line != nullptr)
            engine->camera->loadTrack(line->c_str(), modelNameOf(*line).c_str());
        drawLoadingFrame(step, 3);
    });
}

void Demo::readLightList(float step) {
    readAssetList("models/lights", minModelLineLength, [&](const std::string* line) {
        if (line != nullptr)
            engine->lights->loadTrack(line->c_str(), modelNameOf(*line).c_str());
        drawLoadingFrame(step, 4);
    });
}

void Demo::createScenes(float step) {
    // Stand-ins with the scenes' exact lengths, until the scenes are built.
    struct Stand {
        float length;
        float red, green, blue;
    };
    static const Stand stands[] = {
        {21654.134765625f, 0.00f, 0.02f, 0.05f}, {43308.26953125f, 0.02f, 0.05f, 0.08f},
        {28872.1796875f, 0.00f, 0.08f, 0.10f},   {28872.1796875f, 0.03f, 0.06f, 0.12f},
        {28872.1796875f, 0.00f, 0.10f, 0.14f},   {28872.1796875f, 0.05f, 0.05f, 0.09f},
        {52330.828125f, 0.01f, 0.03f, 0.07f}};
    sceneCount = 7;
    for (const Stand& stand : stands) {
        scenes.push_back(
            std::make_unique<PlaceholderScene>(stand.length, stand.red, stand.green, stand.blue));
        drawLoadingFrame(step, 5);
    }
}

void Demo::play(const PlayOptions& options) {
    MusicStream* music = nullptr;
    if (options.music) {
        music = &MusicStream::instance();
        music->open("muzak.mp3");
        music->play(options.startTime / 1000.0);
    }
    float carry = options.startTime;
    for (int i = 0; i < static_cast<int>(scenes.size()); ++i)
        carry = scenes[i]->run(carry, PlaybackContext{options.clock, options.observer, i});
    if (music != nullptr) {
        music->stop();
        music->release();
        MusicStream::destroy();
    }
}

} // namespace halcyra
