// Where a playback's frame times come from and who watches its finished frames. The show runs on the
// performance counter; tests and offline capture run on a fixed step so that every run shows the same
// frames. Observers see each frame after it is presented: statistics, a time limit, capture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

class Scene;

class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual int64_t frequency() = 0; // counter ticks per second
    virtual int64_t counter() = 0;   // the counter now
};

// The high-resolution performance counter.
class PerformanceClock final : public FrameClock {
public:
    int64_t frequency() override;
    int64_t counter() override;
};

// Advances by exactly 1000 / framesPerSecond ms between two readings.
class FixedStepClock final : public FrameClock {
public:
    explicit FixedStepClock(int framesPerSecond) : ticksPerSecond(framesPerSecond) {}
    int64_t frequency() override { return ticksPerSecond; }
    int64_t counter() override { return ticks++; }

private:
    int64_t ticksPerSecond;
    int64_t ticks = 0;
};

class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    // Called once per frame after it was presented and its duration added to the scene's time.
    virtual void framePresented(int sceneIndex, const Scene& scene) = 0;
};

// Frame-time statistics per scene: count, median, 95th percentile and maximum of the frame times, and the
// medians of the scene logic (update) and of the main thread's CPU time per frame.
class FrameStatistics final : public FrameObserver {
public:
    void framePresented(int sceneIndex, const Scene& scene) override;
    std::string report() const;

    struct Summary {
        int frames = 0;
        double median = 0.0;
        double p95 = 0.0;
        double max = 0.0;
    };
    static Summary summarize(std::vector<float> frameTimes);

private:
    struct SceneFrames {
        std::vector<float> frameTimes;
        std::vector<float> updateTimes;
        std::vector<float> cpuTimes;
    };
    std::vector<SceneFrames> scenes; // per scene index
    double lastCpu = -1.0;
};

// Clears DisplayConfig::running once `limitMs` of show time have been played, so that the show ends the
// way Escape ends it.
class ShowTimeLimit final : public FrameObserver {
public:
    explicit ShowTimeLimit(double limitMs) : limit(limitMs) {}
    void framePresented(int sceneIndex, const Scene& scene) override;

private:
    double limit;
    double played = 0.0;
};

// What one scene's run needs besides its start time.
struct PlaybackContext {
    FrameClock* clock = nullptr;
    FrameObserver* observer = nullptr; // may be null
    int sceneIndex = 0;                // position of the scene in the show, for the observer
    // The part of the scene's start time that a chosen start skipped (--start), rather than the few
    // milliseconds the previous scene ran over. State that moves in frame steps catches up by it.
    float seekedTime = 0.0f;
};

// Hands every frame to several observers in order.
class FrameObservers final : public FrameObserver {
public:
    void add(FrameObserver* observer) { observers.push_back(observer); }
    void framePresented(int sceneIndex, const Scene& scene) override;

private:
    std::vector<FrameObserver*> observers;
};

} // namespace halcyra
