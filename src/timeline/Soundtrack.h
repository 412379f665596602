// Soundtrack: the one owner of the music's playing. It opens the file and warms the sound device up while
// the loading screen still shows, starts the music at a show time (the first drawn frame, after a seek,
// after a pause), stops it, and keeps it with the picture: the picture never follows the music, both start
// at the same moment (the moment the device takes the music's sound), and music that falls behind the
// picture (a starved sound device, a process stopped and continued) is moved to the picture's time. The
// decoder, whose position is read, runs ahead of what is heard by the sound path's own latency (the device's
// buffer, a sound server's sink, a Bluetooth headset's), measured as the device first takes sound: a decoder
// ahead of the picture by that much is explained by it and never moved; only music behind is. The music
// keeps to the show's clock less the picture's lead (Scene::pictureLead: frames are drawn for the moment they
// reach the screen). For --stats it reports the gap at every scene's start and after every jump, at the end,
// the largest, and the moves, at that clock's times.
// Failures are reported by MusicStream and the show runs on in silence.
#pragma once

#include "core/JsonWriter.h"
#include "timeline/Playback.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

class Soundtrack final : public FrameObserver {
public:
    // Music heard further behind the picture than this is moved to the picture's time.
    static constexpr double maxGapMs = 100.0;

    // `sceneStarts`: where each scene begins in the show (ms), for the report's samples.
    explicit Soundtrack(std::vector<double> sceneStarts);
    ~Soundtrack() override;
    Soundtrack(const Soundtrack&) = delete;
    Soundtrack& operator=(const Soundtrack&) = delete;

    // Opens the sound device and `file` (a name in the data folder).
    void open(const char* file);
    bool opened() const { return isOpen; }
    // Gets the device taking sound before the show needs it, and measures the sound path's latency.
    void warmUp();
    // Plays from `showMs` of the show; returns once the device takes the sound.
    void start(double showMs);
    // Stops the music (a pause, a seek, the end).
    void stop();
    // Closes the file and the device.
    void close();
    // How far the decoder runs ahead of what is heard (ms), measured as the device first took sound.
    double latencyMs() const;

    // Every drawn frame: the music's gap is read ten times a second of show time and mended when it is too
    // far behind.
    void framePresented(int sceneIndex, const Scene& scene) override;
    // Whether a gap (the decoder's position less the show time, ms) is one to mend: the music behind the
    // picture by more than maxGapMs. A decoder ahead is what the sound path buffers: never mended.
    static bool behind(double gapMs) { return gapMs < -maxGapMs; }

    std::string report() const;
    // The same as a JSON value: {"latencyMs", "samples" [{"scene", "atS", "gapMs", "wallMs"}], "end",
    // "largest", "movedBeyondMs", "moves"}; null when no music played.
    void writeJson(JsonWriter& json) const;

private:
    struct Sample {
        int scene;
        double showMs;
        double gapMs;
        int64_t wallMs; // the wall clock (ms since 1970) when the show's clock read showMs
    };
    std::vector<double> sceneStarts;
    bool isOpen = false;
    double latency = 0.0;        // the sound path's, as the device first took sound
    std::vector<Sample> samples; // the scene starts and seeks
    Sample largest{-1, 0.0, 0.0, 0};
    Sample last{-1, 0.0, 0.0, 0};
    int lastScene = -1;
    double lastShowMs = -1.0;
    double lastReadMs = -1.0;
    double lastMusic = -1.0;
    int moves = 0;
};

} // namespace halcyra
