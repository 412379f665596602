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

#include <functional>
#include <map>
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

// The show itself: seeks from the planet back to the top (from the state the planet left behind), 5 s on,
// to the credits, and three times 5 s on into the credits' beat show the pixels a capture at 60 fps has for
// those frames.
TEST_F(PlayerKeys, ASeekShowsThePixelsACaptureOfThatFrameHas) {
    test::WorkingDirectory data(HALCYRA_DATA_DIR);
    Demo demo;
    const DisplayConfig& config = DisplayConfig::instance();
    struct Screens final : FrameObserver {
        explicit Screens(FrameObserver* keys, test::GlTestContext& gl) : next(keys), context(gl) {}
        void framePresented(int sceneIndex, const Scene& scene) override {
            const DisplayConfig& display = DisplayConfig::instance();
            shots.push_back(context.readScreen(0, 0, display.width, display.height));
            if (next != nullptr)
                next->framePresented(sceneIndex, scene);
        }
        FrameObserver* next;
        test::GlTestContext& context;
        std::vector<std::vector<uint8_t>> shots;
    };

    KeyScript script;
    script.keys[0] = {SDLK_HOME};
    script.keys[1] = {SDLK_RIGHT};
    script.keys[2] = {SDLK_PAGEDOWN};
    script.keys[3] = {SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT};
    script.keys[4] = {SDLK_ESCAPE};
    Screens played(&script, context);
    Transport player(Demo::sceneLengths(), false);
    PlatformSettings settings;
    settings.player = [&player](const PlayerRequest& request) { player.handle(request); };
    configurePlatform(settings);
    test::SteppingClock steps(60);
    FrameSchedule realTime = FrameSchedule::realTime(steps, 190000.0);
    demo.play({&realTime, &played, nullptr, &player});
    ASSERT_EQ(played.shots.size(), 5u);

    DisplayConfig::instance().running = true;
    Screens captured(nullptr, context);
    // The credits begin at 21,654.13 ms: frame 1300 is their first on the 60 Hz step.
    FrameSchedule fixed = FrameSchedule::fixedStep(60, {{0, 1}, {300, 301}, {1300, 1301}, {2200, 2201}});
    demo.play({&fixed, &captured});
    ASSERT_EQ(captured.shots.size(), 4u);
    const char* const seeks[] = {"Home", "Right", "Page Down", "three times Right"};
    for (int i = 0; i < 4; ++i) {
        const std::vector<uint8_t>& seen = played.shots[static_cast<size_t>(i) + 1];
        EXPECT_TRUE(seen == captured.shots[static_cast<size_t>(i)])
            << "after " << seeks[i] << ", " << config.width << " x " << config.height;
    }
}

} // namespace
} // namespace halcyra
