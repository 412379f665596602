#include "scenes/Scene.h"
#include "timeline/Playback.h"

#include "core/DisplayConfig.h"
#include "support/GlTestContext.h"
#include "support/SteppingClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace halcyra {
namespace {

class RecordingScene final : public Scene {
public:
    explicit RecordingScene(float length) {
        engine = &Engine::instance();
        endTime = length;
    }
    void start() override { calls.push_back("start"); }
    void finish() override { calls.push_back("finish"); }
    void update() override {
        calls.push_back("update");
        times.push_back(time);
        flickerTimes.push_back(flickerTime);
        frameTimes.push_back(frameTime);
        noiseTimes.push_back(noiseTime);
    }
    void render() override {
        calls.push_back("render");
        if (++frames == stopAfterFrame)
            DisplayConfig::instance().running = false;
    }

    std::vector<std::string> calls;
    std::vector<float> times, flickerTimes, frameTimes, noiseTimes;
    int frames = 0;
    int stopAfterFrame = -1;
};

class SceneRun : public testing::Test {
protected:
    void SetUp() override {
        test::GlTestContext::loadShowPacket();
        DisplayConfig::instance().running = true;
    }
    test::GlTestContext context;
};

TEST_F(SceneRun, StartsOnceBeforeTheFirstUpdateAndEndsExactlyAtEndTime) {
    test::SteppingClock clock(50);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    RecordingScene scene(100.0f);
    const float overshoot = scene.run(0.0f, {&schedule, nullptr, 0});
    EXPECT_EQ(scene.times, (std::vector<float>{0.0f, 20.0f, 40.0f, 60.0f, 80.0f}));
    EXPECT_EQ(scene.frameTimes, (std::vector<float>{0.0f, 20.0f, 20.0f, 20.0f, 20.0f}));
    EXPECT_EQ(scene.calls.front(), "start");
    EXPECT_EQ(scene.calls[1], "update");
    EXPECT_EQ(std::count(scene.calls.begin(), scene.calls.end(), "start"), 1);
    EXPECT_EQ(scene.calls.back(), "finish");
    EXPECT_EQ(overshoot, 0.0f);
}

TEST_F(SceneRun, OvershootCarriesIntoTheReturnValue) {
    test::SteppingClock clock(30);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    RecordingScene scene(50.0f);
    const float overshoot = scene.run(10.0f, {&schedule, nullptr, 0});
    EXPECT_EQ(scene.times.front(), 10.0f);
    EXPECT_NEAR(overshoot, 10.0f + 2 * (1000.0f / 30.0f) - 50.0f, 1e-4f);
}

TEST_F(SceneRun, NoiseTimeRefreshesOnlyAfterMoreThanFortyMilliseconds) {
    test::SteppingClock clock(50);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    RecordingScene scene(200.0f);
    scene.run(0.0f, {&schedule, nullptr, 0});
    // Clock after frames 1, 2, 3: 20, 40 (not above 40), 60 → refresh at time 60.
    ASSERT_GE(scene.noiseTimes.size(), 5u);
    EXPECT_EQ(scene.noiseTimes[0], 0.0f);
    EXPECT_EQ(scene.noiseTimes[1], 0.0f);
    EXPECT_EQ(scene.noiseTimes[2], 0.0f);
    EXPECT_FLOAT_EQ(scene.noiseTimes[3], 0.6f);
    EXPECT_FLOAT_EQ(scene.noiseTimes[4], 0.6f);
}

TEST_F(SceneRun, LongFrameSubtractsFortyRepeatedlyButRefreshesOnce) {
    test::SteppingClock clock(10);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    RecordingScene scene(100.0f);
    scene.run(1234.0f - 1200.0f, {&schedule, nullptr, 0});
    // One frame of 100 ms from 34 ms: time 134, noiseTime 1.34, clock 100 → 60 → 20.
    EXPECT_FLOAT_EQ(scene.noiseTime, 1.34f);
    EXPECT_FLOAT_EQ(scene.noiseClock, 20.0f);
}

TEST_F(SceneRun, StartBeyondEndTimeRunsNoFrameButFinishes) {
    test::SteppingClock clock(50);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    RecordingScene scene(100.0f);
    const float overshoot = scene.run(250.0f, {&schedule, nullptr, 0});
    EXPECT_EQ(scene.calls, std::vector<std::string>{"finish"});
    EXPECT_EQ(overshoot, 150.0f);
}

TEST_F(SceneRun, ClearingRunningEndsTheShowWithinOneFrame) {
    test::SteppingClock clock(50);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    RecordingScene first(10000.0f);
    RecordingScene second(10000.0f);
    first.stopAfterFrame = 3;
    const float carry = first.run(0.0f, {&schedule, nullptr, 0});
    EXPECT_EQ(first.frames, 3);
    EXPECT_EQ(first.calls.back(), "finish");
    EXPECT_FLOAT_EQ(carry, 60.0f - 10000.0f);
    EXPECT_FLOAT_EQ(second.run(carry, {&schedule, nullptr, 1}), carry - 10000.0f);
    EXPECT_EQ(second.calls, std::vector<std::string>{"finish"});
}

TEST_F(SceneRun, ObserverSeesEveryFrameWithItsSceneIndexAndDuration) {
    struct Watcher final : FrameObserver {
        void framePresented(int sceneIndex, const Scene& scene) override {
            indices.push_back(sceneIndex);
            durations.push_back(scene.frameTime);
        }
        std::vector<int> indices;
        std::vector<float> durations;
    } watcher;
    test::SteppingClock clock(25);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    RecordingScene scene(120.0f);
    scene.run(0.0f, {&schedule, &watcher, 4});
    EXPECT_EQ(watcher.indices, (std::vector<int>{4, 4, 4}));
    EXPECT_EQ(watcher.durations, (std::vector<float>{40.0f, 40.0f, 40.0f}));
}

// Played with sound, a frame is drawn for the moment it reaches the screen, a frame's duration after it was
// begun: the show's clock comes to lead the music's (the wall clock's) by that, at most maxLeadMs, without a
// jump in the motion, while statistics still see the frames' own durations.
TEST_F(SceneRun, DrawnAheadTheShowsClockLeadsTheMusicsByAFrameReachedGradually) {
    struct Watcher final : FrameObserver {
        void framePresented(int, const Scene& scene) override {
            wall.push_back(scene.wallFrameTime);
            advanced.push_back(scene.frameTime);
            musicClock.push_back(scene.time - scene.pictureLead);
            lead.push_back(scene.pictureLead);
        }
        std::vector<float> wall, advanced, musicClock, lead;
    };
    for (const int fps : {25, 5}) {
        test::SteppingClock clock(fps);
        FrameSchedule schedule = FrameSchedule::realTime(clock);
        schedule.drawAhead();
        Watcher watcher;
        RecordingScene scene(3000.0f);
        scene.run(0.0f, {&schedule, &watcher, 0});
        const float frame = 1000.0f / static_cast<float>(fps);
        ASSERT_GT(watcher.wall.size(), 10u) << fps;
        for (size_t i = 0; i < watcher.wall.size(); ++i) {
            EXPECT_FLOAT_EQ(watcher.wall[i], frame) << fps << " fps, frame " << i;
            EXPECT_NEAR(watcher.advanced[i], frame, FrameSchedule::leadSlew * frame + 1e-3f) << i;
            EXPECT_NEAR(watcher.musicClock[i], frame * static_cast<float>(i + 1), 0.01f) << i;
        }
        EXPECT_FLOAT_EQ(watcher.lead.back(), std::min(frame, static_cast<float>(FrameSchedule::maxLeadMs)));
    }
}

TEST_F(SceneRun, ShowTimeLimitStopsAtTheFirstFrameThatReachesIt) {
    test::SteppingClock clock(50);
    FrameSchedule schedule = FrameSchedule::realTime(clock);
    ShowTimeLimit limit(50.0);
    RecordingScene scene(1000.0f);
    scene.run(0.0f, {&schedule, &limit, 0});
    EXPECT_EQ(scene.frames, 3);
    EXPECT_FALSE(DisplayConfig::instance().running);
}

// The flicker reads the show's 60 Hz grid, in show time (the second scene starts off the grid): at 144 frames
// a second a frame between two grid frames has the flicker of the earlier one, at 60 every frame is its own
// grid frame to the last bit, and measured play reads the last grid frame at or before its own time.
TEST_F(SceneRun, FlickerTimeIsTheShowTimeRoundedDownToTheSixtyHertzGrid) {
    const double firstLength = 21654.134765625;
    auto secondScene = [&](FrameSchedule& schedule, RecordingScene& second) {
        RecordingScene first(static_cast<float>(firstLength));
        const float carry = first.run(0.0f, {&schedule, nullptr, 0});
        second.run(carry, {&schedule, nullptr, 1, firstLength});
    };

    RecordingScene at144(300.0f);
    FrameSchedule step144 = FrameSchedule::fixedStep(144, 3110, 3200);
    secondScene(step144, at144);
    ASSERT_GT(at144.times.size(), 30u);
    int between = 0;
    for (size_t i = 0; i < at144.times.size(); ++i) {
        const double show = firstLength + at144.times[i];
        const int64_t n = std::llround(show * 144.0 / 1000.0);
        const int64_t grid = n * 60 / 144;
        const double gridTime = static_cast<double>(grid) * 1000.0 / 60;
        EXPECT_EQ(at144.flickerTimes[i], static_cast<float>(std::max(0.0, gridTime - firstLength)))
            << "frame " << n;
        between += at144.flickerTimes[i] < at144.times[i];
        if (n % 12 == 0) {
            EXPECT_EQ(at144.flickerTimes[i], at144.times[i]) << "frame " << n << " lies on the grid";
        }
    }
    EXPECT_GT(between, 20);

    RecordingScene at60(300.0f);
    FrameSchedule step60 = FrameSchedule::fixedStep(60, 1290, 1320);
    secondScene(step60, at60);
    ASSERT_GT(at60.times.size(), 10u);
    EXPECT_EQ(at60.flickerTimes, at60.times);

    test::SteppingClock clock(144);
    FrameSchedule measured = FrameSchedule::realTime(clock);
    RecordingScene played(100.0f);
    played.run(0.0f, {&measured, nullptr, 0});
    ASSERT_EQ(played.times.size(), 15u);
    for (size_t i = 0; i < played.times.size(); ++i) {
        EXPECT_LE(played.flickerTimes[i], played.times[i]);
        EXPECT_GT(played.flickerTimes[i], played.times[i] - 1000.0f / 60.0f);
        const float gridFrames = played.flickerTimes[i] * 0.06f;
        EXPECT_NEAR(gridFrames, std::round(gridFrames), 1e-4f);
    }
}

} // namespace
} // namespace halcyra
