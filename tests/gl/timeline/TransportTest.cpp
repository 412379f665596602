// The player's keys as a viewer presses them: pushed into SDL's queue and taken by the event dispatch the
// run loop calls once a frame. A stepping clock stands for the performance counter: every reading is one
// 60 Hz frame later, and the player's waits while paused move it on too, so that a pause's length is known.
#include "timeline/Transport.h"
#include "app/Events.h"
#include "app/Platform.h"
#include "core/DisplayConfig.h"
#include "core/Platform.h"
#include "support/GlTestContext.h"
#include "support/SteppedShow.h"
#include "support/SteppingClock.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <vector>

namespace halcyra {
namespace {

using test::FrameState;
using test::SteppedShow;

// The show's clock: every reading a frame of 1/60 s later; the player's waits move it on too.
test::SteppingClock* clock = nullptr;
int sleeps = 0;
std::function<void()> onSleep;

void testSleep(uint32_t milliseconds) {
    if (clock != nullptr)
        clock->advance(milliseconds);
    ++sleeps;
    if (onSleep)
        onSleep();
}

void pressKey(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.windowID = SDL_GetWindowID(DisplayConfig::instance().window);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Presses keys as the frames with the given numbers (counted from 0 in the order drawn) are shown.
class KeyScript final : public FrameObserver {
public:
    std::map<int, std::vector<SDL_Keycode>> keys;
    int drawn = 0;
    void framePresented(int, const Scene&) override {
        for (const SDL_Keycode key : keys[drawn])
            pressKey(key);
        ++drawn;
    }
};

class PlayerKeys : public testing::Test {
protected:
    void SetUp() override {
        DisplayConfig::instance().running = true;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        saved = platformFunctions();
        PlatformFunctions functions = saved;
        functions.sleepMilliseconds = testSleep;
        setPlatformFunctions(functions);
        sleeps = 0;
    }
    void TearDown() override {
        onSleep = nullptr;
        configurePlatform({});
        setPlatformFunctions(saved);
        DisplayConfig::instance().running = true;
    }

    // Plays the stepped show in real time with the player's keys, from `startMs`.
    void play(SteppedShow& show, Transport& player, KeyScript& script, double startMs = 0.0) {
        PlatformSettings settings;
        settings.player = [&player](const PlayerRequest& request) { player.handle(request); };
        configurePlatform(settings);
        test::SteppingClock steps(60);
        clock = &steps;
        FrameSchedule schedule = FrameSchedule::realTime(steps, startMs);
        show.play({&schedule, &script, nullptr, &player});
        clock = nullptr;
    }

    // Every frame of the stepped show on the 60 Hz step, as playback from the top draws it.
    std::vector<FrameState> playedFromTheTop() {
        SteppedShow show;
        FrameSchedule schedule = FrameSchedule::fixedStep(60, 0, 1000000);
        show.play({&schedule, nullptr});
        return show.log;
    }

    static Transport playerFor(const SteppedShow&) {
        return Transport({250.0f, 406.25f, 500.0f, 320.125f}, false);
    }

    PlatformFunctions saved;
    test::GlTestContext context;
};

TEST_F(PlayerKeys, PauseHoldsTheClockAndThePicture) {
    test::GlTestContext::loadShowPacket();
    SteppedShow show;
    Transport player = playerFor(show);
    KeyScript script;
    script.keys[5] = {SDLK_SPACE};
    // Held for 40 waits (400 ms of the clock), then Space again.
    onSleep = [] {
        if (sleeps == 40)
            pressKey(SDLK_SPACE);
    };
    play(show, player, script);
    ASSERT_GE(show.log.size(), 8u);
    EXPECT_GE(sleeps, 40) << "the show did not hold";
    // No frame was drawn while paused, and the pause is no show time: the frame after it is one frame on.
    EXPECT_NEAR(show.log[6].time - show.log[5].time, 1000.0f / 60.0f, 0.01f);
    EXPECT_NEAR(show.log[6].frameTime, 1000.0f / 60.0f, 0.01f);
}

TEST_F(PlayerKeys, SeeksLandWherePlaybackFromTheTopStandsAndHeldKeysSeekOnce) {
    test::GlTestContext::loadShowPacket();
    const std::vector<FrameState> played = playedFromTheTop();
    SteppedShow show;
    Transport player = playerFor(show);
    KeyScript script;
    // Page Down three times before a frame can take them: one replay, to the fourth scene's first frame.
    script.keys[3] = {SDLK_PAGEDOWN, SDLK_PAGEDOWN, SDLK_PAGEDOWN};
    // Then Home, back to the top; then Left, which stays there; then past the end.
    script.keys[6] = {SDLK_HOME};
    script.keys[7] = {SDLK_LEFT};
    script.keys[9] = {SDLK_RIGHT};
    play(show, player, script);
    // The fourth scene begins at 1156.25 ms: frame 70 (1166.67 ms) is its first on the step.
    ASSERT_EQ(show.log.size(), 10u);
    EXPECT_EQ(show.log[4], played[70]);
    EXPECT_NEAR(show.log[5].time - show.log[4].time, 1000.0f / 60.0f, 0.01f) << "measured on from there";
    EXPECT_EQ(show.log[7], played[0]);
    EXPECT_EQ(show.log[8], played[0]);
    // The first scene started once for the play and once for each of the three seeks' replays.
    EXPECT_EQ(show.scene(0).starts, 4);
    EXPECT_TRUE(DisplayConfig::instance().running) << "a seek past the end ends the show as its end does";
}

// The show itself, sought as a viewer might: a seeded run of keys in both directions and to every scene,
// some of them repeated, each from wherever the one before landed (the state the scenes left behind there
// included). The first frame drawn at every place a seek went to, and at the start, shows the pixels a
// capture at 60 fps has for that frame. (The frames after it are measured on the clock: their scene time
// adds up frame times as floats, a capture's is worked out from the frame's number.)
TEST_F(PlayerKeys, SeeksAnywhereShowThePixelsACaptureOfThoseFramesHas) {
    test::WorkingDirectory data(HALCYRA_DATA_DIR);
    Demo demo;
    const DisplayConfig& config = DisplayConfig::instance();
    const std::vector<double> starts = Demo::sceneStarts();
    // Every frame drawn, with its number on the 60 Hz step.
    struct Screens final : FrameObserver {
        Screens(FrameObserver* keys, test::GlTestContext& gl, const std::vector<double>& sceneStarts)
            : next(keys), context(gl), starts(sceneStarts) {}
        void framePresented(int sceneIndex, const Scene& scene) override {
            const DisplayConfig& display = DisplayConfig::instance();
            shots.push_back(context.readScreen(0, 0, display.width, display.height));
            // The scene's time is already the next frame's.
            const double shown = starts[static_cast<size_t>(sceneIndex)] + scene.time - scene.frameTime;
            frames.push_back(std::llround(shown * 60.0 / 1000.0));
            if (next != nullptr)
                next->framePresented(sceneIndex, scene);
        }
        FrameObserver* next;
        test::GlTestContext& context;
        const std::vector<double>& starts;
        std::vector<std::vector<uint8_t>> shots;
        std::vector<int64_t> frames;
    };

    std::mt19937 random(20261208);
    const SDL_Keycode keys[] = {SDLK_RIGHT, SDLK_LEFT, SDLK_PAGEDOWN, SDLK_PAGEUP, SDLK_HOME, SDLK_1,
                                SDLK_2,     SDLK_3,    SDLK_4,        SDLK_5,      SDLK_6,    SDLK_7};
    KeyScript script;
    constexpr int seeks = 16;
    // Keys on every other frame: the frames drawn right after a key (1, 3, 5, …) are where the seeks landed.
    for (int i = 0; i < seeks; ++i)
        script.keys[2 * i + 1] = {keys[random() % std::size(keys)]};
    script.keys[3] = script.keys[1]; // a seek repeated from where it landed
    script.keys[2 * seeks + 1] = {SDLK_ESCAPE};
    Screens played(&script, context, starts);
    Transport transport(Demo::sceneLengths(), true);
    PlatformSettings settings;
    settings.player = [&transport](const PlayerRequest& request) { transport.handle(request); };
    settings.studioKeys = true;
    configurePlatform(settings);
    test::SteppingClock steps(60);
    FrameSchedule realTime = FrameSchedule::realTime(steps, 100000.0);
    demo.play({&realTime, &played, nullptr, &transport});
    ASSERT_GE(played.shots.size(), static_cast<size_t>(2 * seeks));

    DisplayConfig::instance().running = true;
    std::vector<int64_t> wanted = played.frames;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    std::vector<FrameRange> ranges;
    for (const int64_t frame : wanted)
        ranges.push_back({frame, frame + 1});
    Screens captured(nullptr, context, starts);
    FrameSchedule fixed = FrameSchedule::fixedStep(60, ranges);
    demo.play({&fixed, &captured});
    ASSERT_EQ(captured.frames, wanted);
    // The start's frame, then every frame drawn right after a key.
    for (size_t i = 0; i < played.shots.size(); i += 2) {
        const auto at = std::find(wanted.begin(), wanted.end(), played.frames[i]) - wanted.begin();
        EXPECT_TRUE(played.shots[i] == captured.shots[static_cast<size_t>(at)])
            << "frame " << played.frames[i] << ", the " << i + 1 << "th drawn, " << config.width << " x "
            << config.height;
    }
}

} // namespace
} // namespace halcyra
