// Where a playback's frames lie in show time, and who watches its finished frames. The show runs on the
// performance counter; offline capture runs on a fixed step, every frame at a show time computed from its
// number, so that a frame does not depend on where a run began. Observers see each drawn frame after it is
// presented: statistics, a time limit, capture.
#pragma once

#include "core/JsonWriter.h"
#include "render/PassTimes.h"
#include "show/ShowLayout.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace halcyra {

class Scene;
class Transport;

// Latencies people read: "`what`: N, median M ms, longest L ms", a line; empty for none. And the same as a
// JSON member `key`: every one, in ms.
std::string latencyLine(const char* what, std::vector<double> times);
void writeLatencies(JsonWriter& json, const char* key, const std::vector<double>& times);

// Frames first … end − 1 of a fixed step, numbered from the show's start.
struct FrameRange {
    int64_t first = 0;
    int64_t end = 0;
    int64_t count() const { return end - first; }
};

// Numbers drawn frames through stretches in order: the first of a stretch comes right after the last of the
// one before.
class FrameNumbers {
public:
    explicit FrameNumbers(std::vector<FrameRange> stretches);
    int64_t next();

private:
    std::vector<FrameRange> ranges;
    size_t range = 0;
    int64_t number = 0;
};

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

class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    // Called once per frame after it was presented and its duration added to the scene's time.
    virtual void framePresented(int sceneIndex, const Scene& scene) = 0;
};

// Per scene, the median milliseconds of each pass of a frame, on the GL's timeline and on the main thread
// (PassTimes measures them).
class PassStatistics {
public:
    void add(const PassFrame& frame);
    bool empty() const { return scenes.empty(); }
    // Both tables, one column a scene, one row a pass that ran; empty when no frame was measured.
    std::string report() const;

    struct Medians {
        int frames = 0;
        bool gpuMeasured = false;
        bool synchronous = false;
        std::array<double, passKinds> gpu{};
        std::array<double, passKinds> cpu{};
        double gpuTotal = 0.0; // the median of the frames' sums
        double cpuTotal = 0.0;
    };
    Medians medians(int sceneIndex) const;
    int sceneCount() const { return static_cast<int>(scenes.size()); }
    // A scene's passes as members of the current JSON object: "passes" {"clock", "frames", "gpu" {name: ms,
    // every pass in the frame's order, 0 where it did not run, then "frame"}, "cpu" {the same}}; nothing when
    // the scene has no measured frame.
    void writeJson(JsonWriter& json, int sceneIndex) const;

private:
    struct SceneFrames {
        std::vector<PassFrame> frames;
    };
    std::vector<SceneFrames> scenes;
};

// Frame-time statistics per scene: count, median, 95th and 99th percentile and maximum of the frame times,
// and the medians of the scene logic (update) and of the main thread's CPU time per frame; and where the
// frames' time went, pass by pass, when PassTimes measured it.
class FrameStatistics final : public FrameObserver {
public:
    void framePresented(int sceneIndex, const Scene& scene) override;
    std::string report() const;
    // The same as a JSON array, one object a scene played: "scene" (from 1), "name" (of `names`), "frames",
    // "medianMs", "p95Ms", "p99Ms", "maxMs", "updateMs", "cpuMs", "picture" {"wholeShare", "median",
    // "smallest"} and "passes".
    void writeJson(JsonWriter& json, const std::vector<std::string>& names) const;
    PassStatistics passes;

    struct Summary {
        int frames = 0;
        double median = 0.0;
        double p95 = 0.0;
        double p99 = 0.0;
        double max = 0.0;
    };
    static Summary summarize(std::vector<float> frameTimes);

private:
    struct PictureSize {
        int width = 0;
        int height = 0;
        bool reduced = false; // adaptive quality drew it smaller than the picture's own size
    };
    struct SceneFrames {
        std::vector<float> frameTimes;
        std::vector<float> updateTimes;
        std::vector<float> cpuTimes;
        std::vector<PictureSize> sizes;
    };
    // The sizes adaptive quality drew each scene at; empty when it drew every frame whole.
    std::string pictureSizeReport() const;
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

// The show times of a playback's frames and which of them are drawn, for Scene::run.
//
// On a fixed step frame n lies at n × 1000 / fps ms of show time, computed from n, never summed; a scene's
// time is that minus the scene's start in the show. Frames before the first drawn one run the scenes' logic
// without drawing (update, then Scene::skipRender), from the show's first frame on, so whatever the scenes
// step from frame to frame (camera paths, beat clocks, look-parameter ramps) stands where playback from the
// top has it, and every run draws the same frame n alike wherever it began.
//
// Every frame also gets its flicker time (Scene::flickerTime): its show time rounded down to the frame of a
// 60 Hz step it falls in, as scene time. That frame's time is computed from its number as every step's
// frames are, so a frame of a 60 Hz step is its own flicker frame, to the last bit.
//
// Real-time play measures every drawn frame on a FrameClock. Begun later than the show's start, it first
// replays the frames before that moment on a 60 Hz step, then draws its first frame exactly there. A seek
// during play does the same: the scenes' loops end, and the Demo plays the show again from its top,
// replaying up to the frame asked for.
//
// Played with sound, measured frames may be drawn for the moment they reach the screen rather than the
// moment they are begun (drawAhead): a frame is on screen about one frame's duration after it was begun,
// while the music is heard at the clock's time, so on a renderer that takes 40 ms a frame every cut would
// come 40 ms after its beat. The picture's clock then runs ahead of the music's by the median duration of the
// last frames (at most maxLeadMs), reached gradually: the clock runs at most leadSlew faster or slower than
// the wall clock, so that motion never jumps. The lead counts from the music's last start (the first drawn
// frame, the end of a pause), where both clocks read the same.
class FrameSchedule {
public:
    static constexpr int replayRate = show::gridRate;  // frames per second of a real-time start's replay
    static constexpr int flickerRate = show::gridRate; // frames per second of the flicker's grid

    // Frames from `firstDrawn` up to (not including) `endFrame` are drawn; the show stops at `endFrame`.
    static FrameSchedule fixedStep(int framesPerSecond, int64_t firstDrawn, int64_t endFrame);
    // The frames of `drawn` (stretches in rising order, apart) are drawn, those between them replayed; the
    // show stops at the end of the last.
    static FrameSchedule fixedStep(int framesPerSecond, std::vector<FrameRange> drawn);
    // Drawn frames measured on `clock` from `startMs` of show time on.
    static FrameSchedule realTime(FrameClock& clock, double startMs = 0.0);

    // The scene-local time of a scene's first frame. `sceneStart` is the scene's place in the show (the
    // lengths of the scenes before it); `carried` is the overshoot the scene before it returned, which
    // measured frames go on from.
    float beginScene(Scene& scene, double sceneStart, float carried);
    // At the top of every frame, before Scene::start: whether this frame is drawn.
    bool beginFrame(Scene& scene);
    // After a frame: sets the scene's frameTime and the time of its next frame.
    void endFrame(Scene& scene);
    // True once the last frame to draw has been drawn (at once when there is none), or the show was ended.
    bool ended() const { return stopped || (phase == Phase::Fixed && frame >= lastFrame); }

    // Real-time play: asks for frame `replayFrame` of the 60 Hz replay step. The scenes' loops end at their
    // next test (interrupted), and restart, which the Demo calls before it plays the show again from the
    // top, replays the frames before it; that frame is then the first one measured.
    void seek(int64_t replayFrame);
    bool interrupted() const { return seekPending; }
    void restart();
    // Ends the show as its last frame would (a seek past the end).
    void end() { stopped = true; }
    // After a pause: the measured clock starts again now, so that the pause is no frame time.
    void resume(Scene& scene);
    // Real-time play past its replay: frames are drawn on the clock (a pause may hold the picture).
    bool measuring() const { return phase == Phase::Measured && drawnYet; }

    // Measured frames are drawn ahead of the music's clock by what a frame takes to reach the screen.
    void drawAhead() { ahead = true; }
    static constexpr double maxLeadMs = 100.0;
    static constexpr double leadSlew = 0.1;

    // The show time (ms) of the first drawn frame, and of frame n on this schedule's step.
    double firstDrawnTime() const;
    double frameTime(int64_t n) const { return static_cast<double>(n) * 1000.0 / rate; }
    // The show time (ms) of the flicker grid's frame that `showMs` falls in: the last one not after it.
    static double flickerGridTime(double showMs);

    // Runs as the first drawn frame begins, and again after every seek's replay: the soundtrack starts
    // there. Real-time play measures that frame from the hook's return.
    std::function<void()> onFirstDrawnFrame;

private:
    // Fixed: every frame on the step. Replay: the step, not drawn, up to `startTime`. Pending: the next
    // frame lies at `startTime` and is the first one measured. Measured: the clock decides.
    enum class Phase { Fixed, Replay, Pending, Measured };

    // Sets the scene's flicker time from the show time of its frame.
    void setFlickerTime(Scene& scene, double showMs) const;
    // After a measured frame of `elapsedMs`: how much further the picture's lead moves (ms).
    double leadStep(double elapsedMs);

    Phase phase = Phase::Fixed;
    int rate = replayRate;
    int64_t frame = 0; // the current frame's number on the step
    std::vector<FrameRange> drawnRanges;
    size_t drawnRange = 0; // the first of drawnRanges that does not lie wholly before `frame`
    int64_t firstDrawn = 0;
    int64_t lastFrame = 0;
    double startTime = 0.0;
    double sceneStart = 0.0;
    FrameClock* clock = nullptr;
    bool drawnYet = false;
    bool seekPending = false;
    bool stopped = false;
    bool ahead = false;
    double lead = 0.0;              // ms the picture's clock runs ahead of the music's
    std::array<double, 9> recent{}; // the last measured frames' durations (ms), a ring
    size_t recentCount = 0;
};

// The number of frames the whole show has on a step of 1000 / fps ms, the frames of each scene decided as
// Scene::run decides them (scene time, as a float, below the scene's length).
int64_t showFrameCount(const std::vector<float>& sceneLengths, int framesPerSecond);

// What the run loop calls besides the scenes, between frames and while the show is paused: the studio's
// rebuilds of changed programs.
class RunLoopHook {
public:
    virtual ~RunLoopHook() = default;
    virtual void betweenFrames() = 0;
};

// What one scene's run needs besides its carried start time.
struct PlaybackContext {
    FrameSchedule* schedule = nullptr;
    FrameObserver* observer = nullptr; // may be null
    int sceneIndex = 0;                // position of the scene in the show, for the observer
    double sceneStart = 0.0;           // show ms at which the scene begins: the lengths of those before it
    Transport* transport = nullptr;    // real-time play's pause and seeks; may be null
    RunLoopHook* hook = nullptr;       // may be null
};

// Plays `scenes` back to back on `schedule`, each from the overshoot of the one before, handing every drawn
// frame to `observer` and `transport` (both may be null). A seek ends the scenes' loops; the show then plays
// again from the top, replaying up to the seek's frame. Every play from the top first calls `toTop`, which
// puts what the scenes share (the look, the camera, the lights) as it stands at the show's top; each scene
// starts its own state afresh in its start, and every drawn frame's render starts from the same GL state
// (Engine::beginFrame), so a replay lands on the frame playback draws there. `hook` runs between frames and
// while paused (may be null).
void playScenes(std::vector<std::unique_ptr<Scene>>& scenes, FrameSchedule& schedule, FrameObserver* observer,
                Transport* transport, RunLoopHook* hook, const std::function<void()>& toTop);

// Hands every frame to several observers in order.
class FrameObservers final : public FrameObserver {
public:
    void add(FrameObserver* observer) { observers.push_back(observer); }
    void framePresented(int sceneIndex, const Scene& scene) override;

private:
    std::vector<FrameObserver*> observers;
};

} // namespace halcyra
