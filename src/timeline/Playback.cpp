#include "timeline/Playback.h"

#include "core/DisplayConfig.h"
#include "core/Platform.h"
#include "scenes/Scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace halcyra {

std::string latencyLine(const char* what, std::vector<double> times) {
    if (times.empty())
        return {};
    std::sort(times.begin(), times.end());
    char text[200];
    std::snprintf(text, sizeof text, "%s: %zu, median %.0f ms, longest %.0f ms\n", what, times.size(),
                  times[times.size() / 2], times.back());
    return text;
}

void writeLatencies(JsonWriter& json, const char* key, const std::vector<double>& times) {
    json.key(key).beginArray();
    for (const double ms : times)
        json.value(ms);
    json.endArray();
}

int64_t PerformanceClock::frequency() {
    return static_cast<int64_t>(performanceFrequency());
}

int64_t PerformanceClock::counter() {
    return static_cast<int64_t>(performanceCounter());
}

FrameNumbers::FrameNumbers(std::vector<FrameRange> stretches)
    : ranges(std::move(stretches)), number(ranges.empty() ? 0 : ranges.front().first) {}

int64_t FrameNumbers::next() {
    const int64_t current = number++;
    if (range + 1 < ranges.size() && number >= ranges[range].end)
        number = ranges[++range].first;
    return current;
}

FrameSchedule FrameSchedule::fixedStep(int framesPerSecond, int64_t firstDrawn, int64_t endFrame) {
    return fixedStep(framesPerSecond, {FrameRange{firstDrawn, endFrame}});
}

FrameSchedule FrameSchedule::fixedStep(int framesPerSecond, std::vector<FrameRange> drawn) {
    FrameSchedule schedule;
    schedule.phase = Phase::Fixed;
    schedule.rate = framesPerSecond;
    std::erase_if(drawn, [](const FrameRange& range) { return range.count() <= 0; });
    if (!drawn.empty()) {
        schedule.firstDrawn = drawn.front().first;
        schedule.lastFrame = drawn.back().end;
    }
    schedule.drawnRanges = std::move(drawn);
    return schedule;
}

FrameSchedule FrameSchedule::realTime(FrameClock& clock, double startMs) {
    FrameSchedule schedule;
    schedule.phase = startMs > 0.0 ? Phase::Replay : Phase::Measured;
    schedule.clock = &clock;
    schedule.startTime = std::max(0.0, startMs);
    // A start on the replay's step is that frame; the frames before it are replayed.
    if (schedule.phase == Phase::Replay && !(schedule.frameTime(0) < schedule.startTime))
        schedule.phase = Phase::Pending;
    return schedule;
}

double FrameSchedule::firstDrawnTime() const {
    return phase == Phase::Fixed ? frameTime(firstDrawn) : startTime;
}

double FrameSchedule::flickerGridTime(double showMs) {
    const auto at = [](int64_t m) { return static_cast<double>(m) * 1000.0 / flickerRate; };
    if (!(showMs > 0.0))
        return 0.0;
    // The quotient may miss by one either way where showMs lies on or next to a grid frame; the frame
    // times themselves decide.
    int64_t m = static_cast<int64_t>(showMs * flickerRate / 1000.0);
    while (m > 0 && at(m) > showMs)
        --m;
    while (at(m + 1) <= showMs)
        ++m;
    return at(m);
}

void FrameSchedule::setFlickerTime(Scene& scene, double showMs) const {
    scene.flickerTime = static_cast<float>(std::max(0.0, flickerGridTime(showMs) - sceneStart));
}

float FrameSchedule::beginScene(Scene& scene, double start, float carried) {
    sceneStart = start;
    double showMs = sceneStart + carried;
    float time = carried;
    switch (phase) {
    case Phase::Fixed:
    case Phase::Replay:
        // The scene before ended at this frame; rounding may put it a hair before this scene's start.
        showMs = frameTime(frame);
        time = static_cast<float>(std::max(0.0, showMs - sceneStart));
        break;
    case Phase::Pending:
        showMs = startTime;
        time = static_cast<float>(std::max(0.0, showMs - sceneStart));
        break;
    case Phase::Measured:
        scene.currentCounter = clock->counter();
        scene.counterFrequency = clock->frequency();
        break;
    }
    setFlickerTime(scene, showMs);
    return time;
}

bool FrameSchedule::beginFrame(Scene& scene) {
    bool drawn = false;
    switch (phase) {
    case Phase::Fixed:
        while (drawnRange < drawnRanges.size() && frame >= drawnRanges[drawnRange].end)
            ++drawnRange;
        drawn = drawnRange < drawnRanges.size() && frame >= drawnRanges[drawnRange].first;
        break;
    case Phase::Replay:
        return false;
    case Phase::Pending:
        // The measured frames begin here: the replay's own duration is no frame time.
        phase = Phase::Measured;
        scene.currentCounter = clock->counter();
        scene.counterFrequency = clock->frequency();
        drawn = true;
        break;
    case Phase::Measured:
        drawn = true;
        break;
    }
    if (drawn && !drawnYet) {
        drawnYet = true;
        // The music starts here, at this frame's time.
        lead = 0.0;
        if (onFirstDrawnFrame) {
            onFirstDrawnFrame();
            // The soundtrack starts there and may take a moment to begin: the first frame is measured
            // from then.
            if (phase == Phase::Measured)
                scene.currentCounter = clock->counter();
        }
    }
    return drawn;
}

void FrameSchedule::seek(int64_t replayFrame) {
    if (clock == nullptr)
        return;
    seekPending = true;
    startTime = frameTime(std::max<int64_t>(0, replayFrame));
}

void FrameSchedule::restart() {
    seekPending = false;
    frame = 0;
    drawnYet = false;
    phase = frameTime(0) < startTime ? Phase::Replay : Phase::Pending;
}

void FrameSchedule::resume(Scene& scene) {
    if (phase != Phase::Measured)
        return;
    scene.currentCounter = clock->counter();
    // The music starts again at the next frame's time.
    lead = 0.0;
    scene.pictureLead = 0.0f;
}

double FrameSchedule::leadStep(double elapsedMs) {
    if (!ahead)
        return 0.0;
    recent[recentCount++ % recent.size()] = elapsedMs;
    std::array<double, 9> sorted = recent;
    const size_t known = std::min(recentCount, recent.size());
    std::sort(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(known));
    const double wanted = std::min(maxLeadMs, sorted[known / 2]);
    const double step = std::clamp(wanted - lead, -leadSlew * elapsedMs, leadSlew * elapsedMs);
    lead += step;
    return step;
}

void FrameSchedule::endFrame(Scene& scene) {
    if (phase == Phase::Measured) {
        scene.previousCounter = scene.currentCounter;
        scene.currentCounter = clock->counter();
        const double elapsed = static_cast<double>(scene.currentCounter - scene.previousCounter) /
                               static_cast<double>(scene.counterFrequency) * 1000.0;
        const double step = leadStep(elapsed);
        scene.wallFrameTime = static_cast<float>(elapsed);
        scene.frameTime = static_cast<float>(elapsed + step);
        scene.pictureLead = static_cast<float>(lead);
        scene.time += scene.frameTime;
        setFlickerTime(scene, sceneStart + scene.time);
        return;
    }
    ++frame;
    double next = frameTime(frame);
    if (phase == Phase::Replay && !(next < startTime)) {
        phase = Phase::Pending;
        next = startTime;
    }
    const float time = static_cast<float>(std::max(0.0, next - sceneStart));
    scene.frameTime = time - scene.time;
    scene.wallFrameTime = scene.frameTime;
    scene.pictureLead = 0.0f;
    scene.time = time;
    setFlickerTime(scene, next);
}

void FrameStatistics::framePresented(int sceneIndex, const Scene& scene) {
    const double cpu = threadCpuMilliseconds();
    const double cpuTime = lastCpu < 0.0 ? 0.0 : cpu - lastCpu;
    lastCpu = cpu;
    if (sceneIndex < 0)
        return;
    if (scenes.size() <= static_cast<size_t>(sceneIndex))
        scenes.resize(sceneIndex + 1);
    SceneFrames& frames = scenes[sceneIndex];
    frames.frameTimes.push_back(scene.wallFrameTime);
    frames.updateTimes.push_back(scene.updateTime);
    const DisplayConfig& config = DisplayConfig::instance();
    frames.sizes.push_back(PictureSize{config.width, config.height, config.reduced});
    // The first frame of a run also carries the loading; it is left out of the CPU figures.
    if (cpuTime > 0.0)
        frames.cpuTimes.push_back(static_cast<float>(cpuTime));
}

FrameStatistics::Summary FrameStatistics::summarize(std::vector<float> times) {
    Summary summary;
    summary.frames = static_cast<int>(times.size());
    if (times.empty())
        return summary;
    std::sort(times.begin(), times.end());
    // Nearest-rank percentiles: the smallest time that at least that share of frames does not exceed.
    auto rank = [&](double share) {
        const size_t index = static_cast<size_t>(std::ceil(share * times.size()));
        return static_cast<double>(times[std::clamp<size_t>(index, 1, times.size()) - 1]);
    };
    summary.median = rank(0.5);
    summary.p95 = rank(0.95);
    summary.p99 = rank(0.99);
    summary.max = times.back();
    return summary;
}

void PassStatistics::add(const PassFrame& frame) {
    if (frame.sceneIndex < 0)
        return;
    if (scenes.size() <= static_cast<size_t>(frame.sceneIndex))
        scenes.resize(static_cast<size_t>(frame.sceneIndex) + 1);
    scenes[static_cast<size_t>(frame.sceneIndex)].frames.push_back(frame);
}

PassStatistics::Medians PassStatistics::medians(int sceneIndex) const {
    Medians result;
    if (sceneIndex < 0 || sceneIndex >= sceneCount())
        return result;
    const std::vector<PassFrame>& frames = scenes[static_cast<size_t>(sceneIndex)].frames;
    result.frames = static_cast<int>(frames.size());
    if (frames.empty())
        return result;
    result.gpuMeasured = frames.front().gpuMeasured;
    result.synchronous = frames.front().synchronous;
    std::vector<float> values(frames.size());
    auto median = [&](auto value) {
        for (size_t i = 0; i < frames.size(); ++i)
            values[i] = value(frames[i]);
        return FrameStatistics::summarize(values).median;
    };
    for (int pass = 0; pass < passKinds; ++pass) {
        result.gpu[pass] = median([&](const PassFrame& f) { return f.gpu[pass]; });
        result.cpu[pass] = median([&](const PassFrame& f) { return f.cpu[pass]; });
    }
    result.gpuTotal = median([](const PassFrame& f) { return f.gpuTotal(); });
    result.cpuTotal = median([](const PassFrame& f) { return f.cpuTotal(); });
    return result;
}

std::string PassStatistics::report() const {
    if (scenes.empty())
        return {};
    std::vector<Medians> table;
    for (int i = 0; i < sceneCount(); ++i)
        table.push_back(medians(i));
    char cell[64];
    auto section = [&](const char* heading, bool gpu) {
        std::string text = heading;
        text += "\npass          ";
        for (int i = 0; i < sceneCount(); ++i) {
            if (table[i].frames == 0)
                continue;
            std::snprintf(cell, sizeof cell, "  scene %d", i + 1);
            text += cell;
        }
        text += "\n";
        auto row = [&](const char* name, auto value) {
            std::snprintf(cell, sizeof cell, "%-14s", name);
            text += cell;
            for (const Medians& m : table) {
                if (m.frames == 0)
                    continue;
                std::snprintf(cell, sizeof cell, " %8.2f", value(m));
                text += cell;
            }
            text += "\n";
        };
        for (int pass = 0; pass < passKinds; ++pass) {
            bool ran = false;
            for (const Medians& m : table)
                ran = ran || (gpu ? m.gpu[pass] : m.cpu[pass]) > 0.0;
            if (ran)
                row(passName(static_cast<Pass>(pass)),
                    [&](const Medians& m) { return gpu ? m.gpu[pass] : m.cpu[pass]; });
        }
        row("frame", [&](const Medians& m) { return gpu ? m.gpuTotal : m.cpuTotal; });
        return text;
    };
    std::string text;
    bool gpuMeasured = false;
    bool synchronous = false;
    for (const Medians& m : table) {
        gpuMeasured = gpuMeasured || m.gpuMeasured;
        synchronous = synchronous || m.synchronous;
    }
    if (synchronous)
        return section("where a frame's time goes (median ms per pass; the renderer is the CPU, so each pass "
                       "is timed to its end):",
                       true);
    if (gpuMeasured)
        text += section("where a frame's time goes on the GL's timeline (median ms per pass, timer queries):",
                        true);
    else
        text += "where a frame's time goes on the GL's timeline: not measured (no GL_ARB_timer_query)\n";
    text += section("the main thread issuing each pass (median ms):", false);
    return text;
}

std::string FrameStatistics::report() const {
    std::string text = "scene  frames  median ms  p95 ms  p99 ms  max ms  update ms  cpu ms\n";
    char line[128];
    for (size_t i = 0; i < scenes.size(); ++i) {
        if (scenes[i].frameTimes.empty())
            continue;
        const Summary s = summarize(scenes[i].frameTimes);
        std::snprintf(line, sizeof line, "%5zu  %6d  %9.2f  %6.2f  %6.2f  %6.2f  %9.3f  %6.2f\n", i + 1,
                      s.frames, s.median, s.p95, s.p99, s.max, summarize(scenes[i].updateTimes).median,
                      summarize(scenes[i].cpuTimes).median);
        text += line;
    }
    return text + pictureSizeReport() + passes.report();
}

void PassStatistics::writeJson(JsonWriter& json, int sceneIndex) const {
    const Medians m = medians(sceneIndex);
    if (m.frames == 0)
        return;
    json.key("passes").beginObject();
    json.member("clock", m.synchronous   ? "each pass to its end"
                         : m.gpuMeasured ? "timer queries"
                                         : "main thread");
    json.member("frames", m.frames);
    for (const bool gpu : {true, false}) {
        if (gpu && !m.gpuMeasured)
            continue;
        json.key(gpu ? "gpu" : "cpu").beginObject();
        // Every pass, in the frame's order (0 where it did not run), so that tables line up across scenes.
        for (int pass = 0; pass < passKinds; ++pass)
            json.member(passName(static_cast<Pass>(pass)), gpu ? m.gpu[pass] : m.cpu[pass]);
        json.member("frame", gpu ? m.gpuTotal : m.cpuTotal).endObject();
    }
    json.endObject();
}

void FrameStatistics::writeJson(JsonWriter& json, const std::vector<std::string>& names) const {
    json.beginArray();
    for (size_t i = 0; i < scenes.size(); ++i) {
        const SceneFrames& frames = scenes[i];
        if (frames.frameTimes.empty())
            continue;
        const Summary s = summarize(frames.frameTimes);
        json.beginObject().member("scene", static_cast<int>(i) + 1);
        json.member("name", i < names.size() ? names[i].c_str() : "");
        json.member("frames", s.frames).member("medianMs", s.median).member("p95Ms", s.p95);
        json.member("p99Ms", s.p99).member("maxMs", s.max);
        json.member("updateMs", summarize(frames.updateTimes).median);
        json.member("cpuMs", summarize(frames.cpuTimes).median);
        std::vector<PictureSize> sizes = frames.sizes;
        std::sort(sizes.begin(), sizes.end(), [](const PictureSize& a, const PictureSize& b) {
            return static_cast<int64_t>(a.width) * a.height < static_cast<int64_t>(b.width) * b.height;
        });
        const auto whole =
            std::count_if(sizes.begin(), sizes.end(), [](const PictureSize& size) { return !size.reduced; });
        json.key("picture").beginObject();
        json.member("wholeShare", static_cast<double>(whole) / static_cast<double>(sizes.size()));
        for (const auto& [key, size] :
             {std::pair{"median", sizes[sizes.size() / 2]}, {"smallest", sizes.front()}})
            json.key(key).beginArray().value(size.width).value(size.height).endArray();
        json.endObject();
        passes.writeJson(json, static_cast<int>(i));
        json.endObject();
    }
    json.endArray();
}

std::string FrameStatistics::pictureSizeReport() const {
    bool reduced = false;
    for (const SceneFrames& frames : scenes)
        for (const PictureSize& size : frames.sizes)
            reduced = reduced || size.reduced;
    if (!reduced)
        return {};
    std::string text = "picture drawn (adaptive quality)\nscene  whole  median        smallest\n";
    char line[128];
    for (size_t i = 0; i < scenes.size(); ++i) {
        std::vector<PictureSize> sizes = scenes[i].sizes;
        if (sizes.empty())
            continue;
        const auto whole =
            std::count_if(sizes.begin(), sizes.end(), [](const PictureSize& s) { return !s.reduced; });
        std::sort(sizes.begin(), sizes.end(), [](const PictureSize& a, const PictureSize& b) {
            return static_cast<int64_t>(a.width) * a.height < static_cast<int64_t>(b.width) * b.height;
        });
        const PictureSize& median = sizes[sizes.size() / 2];
        const PictureSize& smallest = sizes.front();
        std::snprintf(line, sizeof line, "%5zu  %4.0f%%  %4d x %-4d   %4d x %-4d\n", i + 1,
                      100.0 * static_cast<double>(whole) / static_cast<double>(sizes.size()), median.width,
                      median.height, smallest.width, smallest.height);
        text += line;
    }
    return text;
}

int64_t showFrameCount(const std::vector<float>& sceneLengths, int framesPerSecond) {
    auto at = [&](int64_t n) { return static_cast<double>(n) * 1000.0 / framesPerSecond; };
    int64_t frame = 0;
    double sceneStart = 0.0;
    for (const float length : sceneLengths) {
        // A scene's frames run while their scene time, as a float, stays below its length.
        auto inside = [&](int64_t n) {
            return static_cast<float>(std::max(0.0, at(n) - sceneStart)) < length;
        };
        int64_t end =
            std::max(frame, static_cast<int64_t>((sceneStart + length) * framesPerSecond / 1000.0) - 1);
        while (end > frame && !inside(end - 1))
            --end;
        while (inside(end))
            ++end;
        frame = end;
        sceneStart += length;
    }
    return frame;
}

void ShowTimeLimit::framePresented(int, const Scene& scene) {
    played += scene.frameTime;
    // Frame times are floats: a fixed step of 1000/30 ms summed 60 times falls a hair short of 2000 ms.
    if (played >= limit - 0.01)
        DisplayConfig::instance().stop(StopReason::TimeLimit);
}

void FrameObservers::framePresented(int sceneIndex, const Scene& scene) {
    for (FrameObserver* observer : observers)
        observer->framePresented(sceneIndex, scene);
}

} // namespace halcyra
