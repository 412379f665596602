// PassTimes: where a frame's time goes. The run loop opens and closes each drawn frame; the Engine and the
// scenes mark where each pass begins (the shadow map, the scene's own draws, the bright pass, every blur,
// the tonemap, the mask, the grain, the present). Each mark puts a GL timestamp query into the command
// stream and reads the performance counter, so a pass's time is both the GL timeline's from its mark to the
// next one and the main thread's time issuing it. Queries are read two or three frames later, once the GL
// says they are done, so measuring never makes the CPU wait for the GPU; finished frames go to the sink.
// On a software renderer the CPU is the GPU and draws the passes one after the other anyway: there each mark
// waits for the GL to finish (glFinish) and the counter times every pass to its end (a software renderer's
// timestamps lag a pass behind). Off until enabled (--stats, the studio): a mark is then one test. Without
// timer queries (GL_ARB_timer_query) only the main thread's side is measured.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace halcyra {

enum class Pass : uint8_t {
    Logic, // before the frame's first pass: the scene's logic, and what ran between two frames
    Shadow,
    Scene,
    Mirror, // the scene drawn again for a reflection
    Filter, // the opening's water filter over the picture
    Bright,
    Glow1,
    Glow2,
    Glow3,
    Glow4,
    Tonemap,
    Blur1,
    Blur2,
    Blur3,
    Blur4,
    Mask,
    Grain,
    Present,
    Count
};
constexpr int passKinds = static_cast<int>(Pass::Count);
const char* passName(Pass pass);
// The n-th (0 …) pass of a chain that starts at `first` (Glow1 or Blur1); the fourth and later stay on the
// chain's fourth.
Pass chainPass(Pass first, int n);

// One frame's passes in milliseconds (0 where a pass did not run).
struct PassFrame {
    int sceneIndex = 0;
    bool gpuMeasured = false; // the GL side was measured (timer queries, or a synchronous software renderer)
    bool synchronous = false; // each pass was timed to its end (gpu and cpu are the same)
    std::array<float, passKinds> gpu{};
    std::array<float, passKinds> cpu{};
    float gpuTotal() const;
    float cpuTotal() const;
};

class PassTimes {
public:
    PassTimes() = default;
    ~PassTimes();
    PassTimes(const PassTimes&) = delete;
    PassTimes& operator=(const PassTimes&) = delete;

    // Starts or stops measuring; stopping drops the frames still in flight. Needs the GL context.
    void enable(bool on);
    bool enabled() const { return on; }
    // Each finished frame, in order, two or three frames after it was drawn.
    void setSink(std::function<void(const PassFrame&)> sink) { onFrame = std::move(sink); }

    // The run loop: a drawn frame begins (its Logic pass) and ends after its present. `continuous` says the
    // frame follows the one before without a pause or a jump, so the time between the two counts as Logic.
    void beginFrame(int sceneIndex, bool continuous);
    // From here to the next mark the frame's time goes to `pass`.
    void mark(Pass pass);
    void endFrame();
    // Waits for the frames in flight and hands them to the sink (at the end of a run).
    void flush();

    // The last finished frame, for the studio's overlay.
    const PassFrame& latest() const { return last; }

private:
    struct Mark {
        Pass pass;
        uint64_t ticks;
    };
    // One frame in flight: its marks (the last one its end) and their queries.
    struct Slot {
        int sceneIndex = 0;
        bool pending = false;
        bool continuous = false;
        std::vector<Mark> marks;
        std::vector<uint32_t> queries;
        size_t used = 0; // queries issued this frame
    };
    static constexpr int slotCount = 4;

    bool queriesAvailable() const;
    void collect(bool wait);
    void finish(Slot& slot, bool readGpu);
    uint32_t nextQuery(Slot& slot);
    void releaseQueries();

    bool on = false;
    bool gpu = false;
    bool synchronous = false;
    bool open = false;
    std::array<Slot, slotCount> slots;
    int current = 0; // the slot of the frame being drawn
    int oldest = 0;  // the oldest slot in flight
    int inFlight = 0;
    // Where the previous finished frame ended, on both clocks; the next continuous frame's Logic starts
    // there.
    uint64_t lastEndTicks = 0;
    uint64_t lastEndStamp = 0;
    bool lastEnded = false;
    PassFrame last;
    std::function<void(const PassFrame&)> onFrame;
};

} // namespace halcyra
