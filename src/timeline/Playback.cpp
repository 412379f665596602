#include "timeline/Playback.h"

#include "app/Display.h"
#include "core/DisplayConfig.h"
#include "timeline/Scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace halcyra {

int64_t PerformanceClock::frequency() {
    return static_cast<int64_t>(performanceFrequency());
}

int64_t PerformanceClock::counter() {
    return static_cast<int64_t>(performanceCounter());
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
    frames.frameTimes.push_back(scene.frameTime);
    frames.updateTimes.push_back(scene.updateTime);
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
    summary.max = times.back();
    return summary;
}

std::string FrameStatistics::report() const {
    std::string text = "scene  frames  median ms  p95 ms  max ms  update ms  cpu ms\n";
    char line[128];
    for (size_t i = 0; i < scenes.size(); ++i) {
        if (scenes[i].frameTimes.empty())
            continue;
        const Summary s = summarize(scenes[i].frameTimes);
        std::snprintf(line, sizeof line, "%5zu  %6d  %9.2f  %6.2f  %6.2f  %9.3f  %6.2f\n", i + 1, s.frames,
                      s.median, s.p95, s.max, summarize(scenes[i].updateTimes).median,
                      summarize(scenes[i].cpuTimes).median);
        text += line;
    }
    return text;
}

void ShowTimeLimit::framePresented(int, const Scene& scene) {
    played += scene.frameTime;
    // Frame times are floats: a fixed step of 1000/30 ms summed 60 times falls a hair short of 2000 ms.
    if (played >= limit - 0.01)
        DisplayConfig::instance().running = false;
}

void FrameObservers::framePresented(int sceneIndex, const Scene& scene) {
    for (FrameObserver* observer : observers)
        observer->framePresented(sceneIndex, scene);
}

} // namespace halcyra
