// A show of four short scenes that step state as the show's scenes do (a beat clock in update, a ramp in
// render and skipRender, a count that carries into later scenes), each frame logged: for tests of playback,
// seeking and the player's keys without loading the show. Needs a GL context and the show's packet (the
// Engine's programs).
#pragma once

#include "timeline/Demo.h"
#include "timeline/Playback.h"
#include "timeline/Transport.h"

#include <memory>
#include <ostream>
#include <vector>

namespace halcyra::test {

// What a frame of a scene looks like from its state: enough to tell two histories apart.
struct FrameState {
    int scene = 0;
    float time = 0.0f, frameTime = 0.0f;
    float beatClock = 0.0f, ramp = 0.0f, noiseTime = 0.0f, noiseClock = 0.0f;
    int beats = 0, carried = 0;
    bool operator==(const FrameState&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const FrameState& s) {
    return out << "scene " << s.scene << " t " << s.time << " dt " << s.frameTime << " beat " << s.beatClock
               << "/" << s.beats << " ramp " << s.ramp << " noise " << s.noiseTime << "/" << s.noiseClock
               << " carried " << s.carried;
}

// Steps state as the show's scenes do: a beat clock in update, a ramp in render (and in skipRender), and a
// count that carries into later scenes, as the camera's up vector does.
class SteppedScene final : public Scene {
public:
    SteppedScene(int index, float length, int& carriedCount, std::vector<FrameState>& frameLog)
        : sceneIndex(index), carried(carriedCount), log(frameLog) {
        engine = &Engine::instance();
        endTime = length;
    }
    // A run begins its own clocks afresh; the first scene also begins the show's carried count afresh.
    void start() override {
        ++starts;
        beatClock = 0.0f;
        ramp = 0.0f;
        beats = 0;
        if (sceneIndex == 0)
            carried = 0;
    }
    void finish() override { ++finishes; }
    void update() override {
        beatClock += frameTime;
        if (beatClock > 90.0f) {
            beatClock -= 90.0f;
            ++beats;
            ++carried;
        }
    }
    void render() override {
        skipRender();
        log.push_back({sceneIndex, time, frameTime, beatClock, ramp, noiseTime, noiseClock, beats, carried});
    }
    void skipRender() override { ramp = ramp * 0.99f + frameTime * 0.001f; }

    int sceneIndex;
    int& carried;
    std::vector<FrameState>& log;
    float beatClock = 0.0f, ramp = 0.0f;
    int beats = 0, starts = 0, finishes = 0;
};

// The four scenes, played as the show plays its own (playScenes), from a state of their own.
class SteppedShow {
public:
    SteppedShow() {
        const float lengths[] = {250.0f, 406.25f, 500.0f, 320.125f};
        for (int i = 0; i < 4; ++i)
            scenes.push_back(std::make_unique<SteppedScene>(i, lengths[i], carried, log));
    }
    void play(const PlayOptions& options) {
        if (options.transport != nullptr)
            options.transport->attach(options.schedule, nullptr);
        playScenes(scenes, *options.schedule, options.observer, options.transport, options.hook, {});
        if (options.transport != nullptr)
            options.transport->attach(nullptr, nullptr);
    }
    SteppedScene& scene(int i) { return static_cast<SteppedScene&>(*scenes[static_cast<size_t>(i)]); }

    std::vector<std::unique_ptr<Scene>> scenes;
    int carried = 0;
    std::vector<FrameState> log;
};

} // namespace halcyra::test
