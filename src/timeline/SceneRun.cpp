#include "scenes/Scene.h"

#include "core/DisplayConfig.h"
#include "core/Platform.h"
#include "timeline/Playback.h"
#include "timeline/Player.h"
#include "timeline/ShowState.h"

#include <utility>

#include <GL/gl.h>

namespace halcyra {

void playScenes(std::vector<std::unique_ptr<Scene>>& scenes, FrameSchedule& schedule, FrameObserver* observer,
                Player* player, ShowState& start, std::function<void(bool, double)> music) {
    if (player != nullptr)
        player->attach(&schedule, std::move(music));
    if (!start.captured())
        start.capture();
    do {
        if (schedule.interrupted())
            schedule.restart();
        start.restore();
        float carry = 0.0f;
        double sceneStart = 0.0;
        for (int i = 0; i < static_cast<int>(scenes.size()); ++i) {
            carry = scenes[i]->run(carry, PlaybackContext{&schedule, observer, i, sceneStart, player});
            sceneStart += scenes[i]->endTime;
        }
    } while (schedule.interrupted() && DisplayConfig::instance().running);
    if (player != nullptr)
        player->attach(nullptr, nullptr);
}

float Scene::run(float startTime, const PlaybackContext& playback) {
    DisplayConfig& config = DisplayConfig::instance();
    FrameSchedule& schedule = *playback.schedule;

    started = false;
    frameTime = 0.0f;
    noiseTime = 0.0f;
    noiseClock = 0.0f;
    time = schedule.beginScene(*this, playback.sceneStart, startTime);
    PassTimes& passes = engine->passTimes;
    // Whether the frame follows the one drawn before without a pause, a replay or a scene's start between.
    bool continuous = false;

    while (time < endTime && config.running && !schedule.ended() && !schedule.interrupted()) {
        const bool drawn = schedule.beginFrame(*this);
        replaying = !drawn;
        if (drawn)
            passes.beginFrame(playback.sceneIndex, continuous);
        if (!started) {
            start();
            started = true;
        }
        const uint64_t updateStart = performanceCounter();
        update();
        updateTime = static_cast<float>(counterMilliseconds(updateStart, performanceCounter()));
        if (drawn) {
            render();
            glDisable(GL_DEPTH_TEST);
            engine->drawNoiseOverlay(noiseTime, noiseStrength, noiseTexture);
            glLoadIdentity();
            glEnable(GL_DEPTH_TEST);
            engine->resetTriangleCount();
            passes.mark(Pass::Present);
            presentFrame();
            passes.endFrame();
        } else {
            skipRender();
        }

        const float shown = time;
        schedule.endFrame(*this);
        noiseClock += frameTime;
        if (noiseClock > 40.0f) {
            noiseTime = static_cast<float>(static_cast<int32_t>(time) % 1000) * 0.01f;
            do
                noiseClock -= 40.0f;
            while (noiseClock > 40.0f);
        }
        if (drawn) {
            if (playback.observer != nullptr)
                playback.observer->framePresented(playback.sceneIndex, *this);
            if (playback.player != nullptr)
                playback.player->frameShown(playback.sceneIndex, playback.sceneStart + shown,
                                            playback.sceneStart + time, frameTime);
            dispatchOneMessage();
            continuous = true;
            if (playback.player != nullptr) {
                continuous = !playback.player->paused();
                playback.player->afterFrame(*this);
            }
        } else {
            continuous = false;
        }
    }
    finish();
    return time - endTime;
}

} // namespace halcyra
