#include "timeline/Demo.h"

#include "core/DisplayConfig.h"
#include "support/GlTestContext.h"
#include "support/SteppedShow.h"
#include "support/SteppingClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace halcyra {
namespace {

using test::FrameState;
using test::SteppedShow;

class SeekReplay : public testing::Test {
protected:
    void SetUp() override {
        test::GlTestContext::loadShowPacket();
        DisplayConfig::instance().running = true;
    }
    void TearDown() override { DisplayConfig::instance().running = true; }

    // Every frame of the show drawn on a 60 Hz step: what playback from the top shows.
    std::vector<FrameState> playedFromTheTop() {
        SteppedShow show;
        FrameSchedule schedule = FrameSchedule::fixedStep(60, 0, 1000000);
        show.play({&schedule, nullptr});
        return show.log;
    }
    test::GlTestContext context;
};

TEST_F(SeekReplay, RealTimeStartDrawsItsFirstFrameInTheStatePlaybackHasThere) {
    const std::vector<FrameState> played = playedFromTheTop();
    for (const int frame : {0, 14, 15, 50, 85}) {
        DisplayConfig::instance().running = true;
        SteppedShow show;
        test::SteppingClock clock(60);
        FrameSchedule schedule = FrameSchedule::realTime(clock, frame * 1000.0 / 60.0);
        int firstDrawn = 0;
        schedule.onFirstDrawnFrame = [&] { ++firstDrawn; };
        FrameObserver* none = nullptr;
        PlayOptions options{&schedule, none};
        // One drawn frame is enough: later ones are measured, not stepped.
        struct StopAfterOne final : FrameObserver {
            void framePresented(int, const Scene&) override { DisplayConfig::instance().running = false; }
        } stop;
        options.observer = &stop;
        show.play(options);
        ASSERT_EQ(show.log.size(), 1u) << "start at frame " << frame;
        ASSERT_LT(static_cast<size_t>(frame), played.size());
        EXPECT_EQ(show.log[0], played[frame]) << "start at frame " << frame;
        EXPECT_EQ(firstDrawn, 1);
        // Every scene before the start ran its logic, started and finished once, and drew nothing.
        for (int i = 0; i < played[frame].scene; ++i) {
            EXPECT_EQ(show.scene(i).starts, 1) << i;
            EXPECT_EQ(show.scene(i).finishes, 1) << i;
        }
    }
}

TEST_F(SeekReplay, FixedStepCaptureBegunAnywhereDrawsTheFramesOfPlaybackFromTheTop) {
    const std::vector<FrameState> played = playedFromTheTop();
    for (const int first : {1, 23, 66}) {
        DisplayConfig::instance().running = true;
        SteppedShow show;
        FrameSchedule schedule = FrameSchedule::fixedStep(60, first, first + 12);
        show.play({&schedule, nullptr});
        ASSERT_EQ(show.log.size(), 12u) << first;
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(show.log[i], played[first + i]) << "frame " << first + i;
    }
    // Stretches apart: the frames between them are replayed, not drawn.
    DisplayConfig::instance().running = true;
    SteppedShow show;
    FrameSchedule schedule = FrameSchedule::fixedStep(60, {{5, 7}, {40, 41}, {70, 73}});
    show.play({&schedule, nullptr});
    const int drawn[] = {5, 6, 40, 70, 71, 72};
    ASSERT_EQ(show.log.size(), std::size(drawn));
    for (size_t i = 0; i < std::size(drawn); ++i)
        EXPECT_EQ(show.log[i], played[drawn[i]]) << "frame " << drawn[i];
}

TEST_F(SeekReplay, FrameTimesComeFromTheFrameNumberAndScenesSplitWhereTheShowCountsThem) {
    const std::vector<FrameState> played = playedFromTheTop();
    const std::vector<float> lengths = {250.0f, 406.25f, 500.0f, 320.125f};
    EXPECT_EQ(static_cast<int64_t>(played.size()), showFrameCount(lengths, 60));
    double sceneStart = 0.0;
    int scene = 0;
    for (size_t n = 0; n < played.size(); ++n) {
        if (played[n].scene != scene) {
            sceneStart += lengths[scene];
            scene = played[n].scene;
        }
        // Computed from n, never summed: no drift however long the show.
        EXPECT_EQ(played[n].time, static_cast<float>(std::max(0.0, n * 1000.0 / 60.0 - sceneStart))) << n;
    }
}

} // namespace
} // namespace halcyra
