#include "timeline/Transport.h"

#include "support/SteppingClock.h"
#include "timeline/Demo.h"
#include "timeline/Playback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace halcyra {
namespace {

// Where the seeks of a request land: from frame `from` of the 60 Hz step, shown, the frame the replay
// goes to; -1 when the request seeks nowhere.
class Landing {
public:
    Landing() : schedule(FrameSchedule::realTime(clock)) { transport.attach(&schedule, nullptr); }

    int64_t from(int64_t frame, PlayerCommand command, int argument = 0) {
        schedule.restart();
        const auto at = [](int64_t n) { return static_cast<double>(n) * 1000.0 / Transport::stepRate; };
        transport.frameShown(0, at(frame), at(frame + 1), 1000.0f / Transport::stepRate);
        transport.handle(PlayerRequest{command, argument});
        if (!schedule.interrupted())
            return -1;
        return std::llround(schedule.firstDrawnTime() * Transport::stepRate / 1000.0);
    }

    test::SteppingClock clock{60};
    FrameSchedule schedule;
    Transport transport{Demo::sceneLengths(), true};
};

// 5 s on is exactly 300 frames on and back, wherever the show stands; a bar is its 60 Hz frames, there and
// back; a scene's key lands on its first frame, the first at or after its start.
TEST(Transport, SeeksLandOnTheStepWhereTheyShould) {
    Landing landing;
    const int64_t last = landing.transport.frameAt(landing.transport.showLength());
    std::mt19937 random(60);
    for (int i = 0; i < 2000; ++i) {
        const int64_t frame = 300 + static_cast<int64_t>(random() % static_cast<uint32_t>(last - 600));
        EXPECT_EQ(landing.from(frame, PlayerCommand::SeekForward), frame + 300) << "from frame " << frame;
        EXPECT_EQ(landing.from(frame, PlayerCommand::SeekBackward), frame - 300) << "from frame " << frame;
        const int64_t bar = landing.from(frame, PlayerCommand::BarForward);
        EXPECT_EQ(bar, frame + std::llround(Transport::barMs * Transport::stepRate / 1000.0)) << frame;
        EXPECT_EQ(landing.from(bar, PlayerCommand::BarBackward), frame) << "a bar on and back from " << frame;
    }
    const std::vector<double> starts = Demo::sceneStarts();
    for (size_t scene = 0; scene < starts.size(); ++scene) {
        const int64_t first = landing.from(0, PlayerCommand::GoToScene, static_cast<int>(scene) + 1);
        EXPECT_GE(first * 1000.0 / Transport::stepRate, starts[scene]) << "scene " << scene + 1;
        EXPECT_LT((first - 1) * 1000.0 / Transport::stepRate, starts[scene]) << "scene " << scene + 1;
        if (scene > 0) {
            EXPECT_EQ(landing.from(first - 1, PlayerCommand::NextScene), first) << "scene " << scene + 1;
        }
    }
    EXPECT_EQ(landing.from(40, PlayerCommand::Top), 0);
}

} // namespace
} // namespace halcyra
