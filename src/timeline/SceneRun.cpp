#include "scenes/Scene.h"

#include "core/DisplayConfig.h"
#include "core/Platform.h"
#include "timeline/Playback.h"
#include "timeline/Transport.h"

#include <GL/gl.h>

namespace halcyra {

void playScenes(std::vector<std::unique_ptr<Scene>>& scenes, FrameSchedule& schedule, FrameObserver* observer,
                Transport* transport, RunLoopHook* hook, const std::function<void()>& toTop) {
    do {
        if (schedule.interrupted())
            schedule.restart();
        if (toTop)
            toTop();
        float carry = 0.0f;
        double sceneStart = 0.0;
        for (int i = 0; i < static_cast<int>(scenes.size()); ++i) {
            carry =
                scenes[i]->run(carry, PlaybackContext{&schedule, observer, i, sceneStart, transport, hook});
            sceneStart += scenes[i]->endTime;
        }
    } while (schedule.interrupted() && DisplayConfig::instance().running);
}

float Scene::run(float startTime, const PlaybackContext& playback) {
    DisplayConfig& config = DisplayConfig::instance();
    FrameSchedule& schedule = *playback.schedule;
    Transport* transport = playback.transport;

    started = false;
    frameTime = 0.0f;
    wallFrameTime = 0.0f;
    noiseTime = 0.0f;
    noiseClock = 0.0f;
    time = schedule.beginScene(*this, playback.sceneStart, startTime);
    PassTimes& passes = engine->passTimes;
    // Whether the frame follows the one drawn before without a pause, a replay or a scene's start between.
    bool continuous = false;

    while (time < endTime && config.running && !schedule.ended() && !schedule.interrupted()) {
        // Paused, the loop holds the picture: the frame on screen is presented again (the studio's views over
        // it stay live) and messages are taken; the show's clock starts again when the pause ends.
        if (transport != nullptr && transport->paused() && schedule.measuring()) {
            presentFrame();
            if (playback.hook != nullptr)
                playback.hook->betweenFrames();
            if (!dispatchOneMessage())
                sleepMilliseconds(10);
            if (!transport->paused())
                schedule.resume(*this);
            continuous = false;
            continue;
        }
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
            engine->beginFrame();
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
        continuous = drawn;
        if (drawn) {
            if (playback.observer != nullptr)
                playback.observer->framePresented(playback.sceneIndex, *this);
            if (transport != nullptr)
                transport->frameShown(playback.sceneIndex, playback.sceneStart + shown,
                                      playback.sceneStart + time, wallFrameTime);
            dispatchOneMessage();
            if (playback.hook != nullptr)
                playback.hook->betweenFrames();
        }
    }
    finish();
    return time - endTime;
}

} // namespace halcyra
