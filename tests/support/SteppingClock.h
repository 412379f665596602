// A clock for tests of real-time play: every reading is one frame of 1/fps s after the one before, so that a
// measured frame lasts exactly 1000/fps ms; `advance` moves it on as well (a test's stand-in for the
// platform's sleep).
#pragma once

#include "timeline/Playback.h"

#include <cstdint>

namespace halcyra::test {

class SteppingClock final : public FrameClock {
public:
    explicit SteppingClock(int framesPerSecond) : ticksPerSecond(int64_t{framesPerSecond} * 1000) {}
    int64_t frequency() override { return ticksPerSecond; }
    int64_t counter() override {
        const int64_t now = ticks;
        ticks += 1000;
        return now;
    }
    void advance(double milliseconds) {
        ticks += static_cast<int64_t>(milliseconds * ticksPerSecond / 1000.0);
    }

private:
    int64_t ticksPerSecond;
    int64_t ticks = 0;
};

} // namespace halcyra::test
