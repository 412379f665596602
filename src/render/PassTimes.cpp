#include "render/PassTimes.h"

#include "core/GlExtensions.h"
#include "core/Platform.h"

#include <algorithm>
#include <numeric>

namespace halcyra {

const char* passName(Pass pass) {
    static const char* const names[passKinds] = {
        "logic",       "shadow map",  "scene",       "mirror",      "water filter", "bright pass",
        "glow blur 1", "glow blur 2", "glow blur 3", "glow blur 4", "tonemap",      "blur 1",
        "blur 2",      "blur 3",      "blur 4",      "mask",        "grain",        "present"};
    const int index = static_cast<int>(pass);
    return index >= 0 && index < passKinds ? names[index] : "frame";
}

Pass chainPass(Pass first, int n) {
    return static_cast<Pass>(static_cast<int>(first) + std::min(std::max(n, 0), 3));
}

float PassFrame::gpuTotal() const {
    return std::accumulate(gpu.begin(), gpu.end(), 0.0f);
}

float PassFrame::cpuTotal() const {
    return std::accumulate(cpu.begin(), cpu.end(), 0.0f);
}

PassTimes::~PassTimes() {
    releaseQueries();
}

void PassTimes::enable(bool enable) {
    if (!enable) {
        releaseQueries();
        for (Slot& slot : slots)
            slot = Slot{};
        inFlight = 0;
        oldest = current = 0;
        open = lastEnded = false;
    }
    on = enable;
    const GlExtensions& gl = GlExtensions::instance();
    synchronous = on && gl.softwareRenderer;
    gpu = on && !synchronous && gl.timerQueries.available();
}

void PassTimes::releaseQueries() {
    const GlTimerQueries& gl = GlExtensions::instance().timerQueries;
    for (Slot& slot : slots) {
        if (!slot.queries.empty() && gl.deleteQueries != nullptr)
            gl.deleteQueries(static_cast<GLsizei>(slot.queries.size()), slot.queries.data());
        slot.queries.clear();
        slot.used = 0;
    }
}

uint32_t PassTimes::nextQuery(Slot& slot) {
    if (slot.used == slot.queries.size()) {
        const size_t more = 16;
        slot.queries.resize(slot.used + more);
        GlExtensions::instance().timerQueries.genQueries(static_cast<GLsizei>(more),
                                                         &slot.queries[slot.used]);
    }
    return slot.queries[slot.used++];
}

void PassTimes::beginFrame(int sceneIndex, bool continuous) {
    if (!on)
        return;
    // Four frames in flight is more than any driver queues: the oldest is read, waiting if it must.
    if (inFlight == slotCount)
        collect(true);
    Slot& slot = slots[current];
    slot.sceneIndex = sceneIndex;
    slot.continuous = continuous;
    slot.marks.clear();
    slot.used = 0;
    open = true;
    mark(Pass::Logic);
}

void PassTimes::mark(Pass pass) {
    if (!open)
        return;
    Slot& slot = slots[current];
    if (synchronous)
        glFinish();
    slot.marks.push_back(Mark{pass, performanceCounter()});
    if (gpu)
        GlExtensions::instance().timerQueries.queryCounter(nextQuery(slot), GL_TIMESTAMP);
}

void PassTimes::endFrame() {
    if (!open)
        return;
    mark(Pass::Count);
    open = false;
    slots[current].pending = true;
    current = (current + 1) % slotCount;
    ++inFlight;
    collect(false);
}

void PassTimes::flush() {
    if (on)
        collect(true);
}

void PassTimes::collect(bool wait) {
    const GlTimerQueries& gl = GlExtensions::instance().timerQueries;
    while (inFlight > 0) {
        Slot& slot = slots[oldest];
        if (gpu && !wait) {
            GLint done = 0;
            gl.getQueryObjectiv(slot.queries[slot.used - 1], GL_QUERY_RESULT_AVAILABLE, &done);
            if (!done)
                break;
        }
        finish(slot, gpu);
        slot.pending = false;
        oldest = (oldest + 1) % slotCount;
        --inFlight;
    }
}

void PassTimes::finish(Slot& slot, bool readGpu) {
    PassFrame frame;
    frame.sceneIndex = slot.sceneIndex;
    frame.gpuMeasured = readGpu || synchronous;
    frame.synchronous = synchronous;
    const double frequency = static_cast<double>(performanceFrequency());
    const std::vector<Mark>& marks = slot.marks;
    auto milliseconds = [&](uint64_t from, uint64_t to) {
        return static_cast<float>(static_cast<double>(to - from) / frequency * 1000.0);
    };
    const bool joined = slot.continuous && lastEnded;
    for (size_t i = 0; i + 1 < marks.size(); ++i)
        frame.cpu[static_cast<int>(marks[i].pass)] += milliseconds(marks[i].ticks, marks[i + 1].ticks);
    if (joined && marks.front().ticks >= lastEndTicks)
        frame.cpu[static_cast<int>(Pass::Logic)] += milliseconds(lastEndTicks, marks.front().ticks);
    lastEndTicks = marks.back().ticks;

    if (readGpu) {
        const GlTimerQueries& gl = GlExtensions::instance().timerQueries;
        std::vector<GLuint64> stamps(slot.used);
        for (size_t i = 0; i < slot.used; ++i)
            gl.getQueryObjectui64v(slot.queries[i], GL_QUERY_RESULT, &stamps[i]);
        auto nanoseconds = [](GLuint64 from, GLuint64 to) {
            return to > from ? static_cast<float>(static_cast<double>(to - from) / 1.0e6) : 0.0f;
        };
        for (size_t i = 0; i + 1 < stamps.size(); ++i)
            frame.gpu[static_cast<int>(marks[i].pass)] += nanoseconds(stamps[i], stamps[i + 1]);
        if (joined)
            frame.gpu[static_cast<int>(Pass::Logic)] += nanoseconds(lastEndStamp, stamps.front());
        lastEndStamp = stamps.back();
    } else if (synchronous) {
        frame.gpu = frame.cpu;
    }
    lastEnded = true;
    last = frame;
    if (onFrame)
        onFrame(frame);
}

} // namespace halcyra
