#include "timeline/Soundtrack.h"

#include "scenes/Scene.h"
#include "timeline/MusicStream.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <utility>

namespace halcyra {

Soundtrack::Soundtrack(std::vector<double> starts) : sceneStarts(std::move(starts)) {}

Soundtrack::~Soundtrack() {
    close();
}

void Soundtrack::open(const char* file) {
    if (isOpen)
        return;
    MusicStream::instance().open(file);
    isOpen = true;
}

void Soundtrack::warmUp() {
    if (!isOpen)
        return;
    MusicStream::instance().warmUp();
    latency = MusicStream::instance().latencyMs();
}

void Soundtrack::start(double showMs) {
    if (!isOpen)
        return;
    MusicStream::instance().play(showMs / 1000.0);
    latency = MusicStream::instance().latencyMs();
    lastMusic = -1.0;
}

void Soundtrack::stop() {
    if (isOpen)
        MusicStream::instance().stop();
}

void Soundtrack::close() {
    if (!isOpen)
        return;
    MusicStream::instance().stop();
    MusicStream::instance().release();
    MusicStream::destroy();
    isOpen = false;
}

double Soundtrack::latencyMs() const {
    return latency;
}

void Soundtrack::framePresented(int sceneIndex, const Scene& scene) {
    if (!isOpen || sceneIndex < 0 || sceneIndex >= static_cast<int>(sceneStarts.size()))
        return;
    // After the frame: its duration is added, so the scene's time is the show's time now. The picture may be
    // drawn ahead of the music by what a frame takes to reach the screen: the music's own clock lags by that.
    const double showMs = sceneStarts[static_cast<size_t>(sceneIndex)] + scene.time - scene.pictureLead;
    const bool jumped = lastShowMs >= 0.0 && (showMs < lastShowMs || showMs - lastShowMs > 1000.0);
    const bool marked = sceneIndex != lastScene || jumped;
    lastScene = sceneIndex;
    lastShowMs = showMs;
    if (!marked && showMs - lastReadMs < 100.0)
        return;
    lastReadMs = showMs;
    MusicStream& music = MusicStream::instance();
    const double position = music.position();
    if (position < 0.0)
        return;
    const int64_t wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    const Sample sample{sceneIndex, showMs, position * 1000.0 - showMs, wallMs};
    if (marked)
        samples.push_back(sample);
    if (largest.scene < 0 || std::abs(sample.gapMs) > std::abs(largest.gapMs))
        largest = sample;
    last = sample;
    // Moved while the device stands still, the music would only stand still elsewhere: it is moved once
    // the device takes sound again.
    const bool moving = position != lastMusic;
    lastMusic = position;
    if (behind(sample.gapMs) && moving) {
        music.moveTo(showMs / 1000.0);
        lastMusic = showMs / 1000.0;
        ++moves;
    }
}

void Soundtrack::writeJson(JsonWriter& json) const {
    if (samples.empty()) {
        json.null();
        return;
    }
    auto sample = [&](const Sample& s) {
        json.beginObject()
            .member("scene", s.scene + 1)
            .member("atS", s.showMs / 1000.0)
            .member("gapMs", s.gapMs)
            .member("wallMs", s.wallMs);
        json.endObject();
    };
    json.beginObject().member("latencyMs", latencyMs()).key("samples").beginArray();
    for (const Sample& s : samples)
        sample(s);
    json.endArray();
    json.key("end");
    sample(last);
    json.key("largest");
    sample(largest);
    json.member("movedBeyondMs", maxGapMs).member("moves", moves).endObject();
}

std::string Soundtrack::report() const {
    if (samples.empty())
        return "music against the picture: no music played\n";
    char line[160];
    std::snprintf(line, sizeof line,
                  "music against the picture (the decoder's position less the show time; the sound path "
                  "buffers %.0f ms, which the decoder may run ahead):\n",
                  latencyMs());
    std::string text = line;
    for (const Sample& sample : samples) {
        std::snprintf(line, sizeof line, "  scene %d at %8.3f s: %+7.1f ms\n", sample.scene + 1,
                      sample.showMs / 1000.0, sample.gapMs);
        text += line;
    }
    std::snprintf(line, sizeof line, "  at the end, %8.3f s: %+7.1f ms\n", last.showMs / 1000.0, last.gapMs);
    text += line;
    std::snprintf(line, sizeof line, "  largest gap %.1f ms, at %.3f s\n", std::abs(largest.gapMs),
                  largest.showMs / 1000.0);
    text += line;
    std::snprintf(line, sizeof line, "  moved to the picture's time (over %.0f ms behind): %d\n", maxGapMs,
                  moves);
    return text + line;
}

} // namespace halcyra
