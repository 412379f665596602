// MusicStream: the soundtrack, one MP3 played from the first scene to the last on SDL2_mixer's own threads.
// The picture never follows the playback position: music and frames stay together because both start at the
// same moment (and again at the same moment after a seek or a pause), the moment the device begins to take
// the music's sound; the position is read only for that and to report how close they are. Failures are
// reported and the show runs on in silence.
#pragma once

#include "core/Singleton.h"
#include "timeline/Playback.h"

#include <string>
#include <vector>

struct _Mix_Music;

namespace halcyra {

class MusicStream : public Singleton<MusicStream> {
public:
    // Opens the audio device (44,100 Hz, stereo, 1024-frame buffer) and the file.
    void open(const char* path);
    bool opened() const { return deviceOpen || stream != nullptr; }
    // Gets the audio device taking sound steadily before the show needs it (the loading screen's last pause
    // is there for it): the music plays muted until the device has taken steadySeconds of it, and stops. A
    // first play() does the same itself when nobody warmed the device up.
    void warmUp();
    // Starts playback `startSeconds` into the file (again from there after a seek or a pause), and returns
    // once the audio device takes its sound (the decoder's position moves), within flowWaitMs.
    void play(double startSeconds = 0.0);
    static constexpr int flowWaitMs = 3000;
    static constexpr double steadySeconds = 0.2;
    // Moves playing music to `seconds` into the file.
    void moveTo(double seconds);
    void stop();
    void release();
    // Where in the file playback stands (seconds, as the decoder reports it); negative when nothing plays
    // or the audio library cannot tell.
    double position() const;

    _Mix_Music* stream = nullptr; // null when opening the file failed

private:
    friend class Singleton<MusicStream>;
    MusicStream() = default;

    bool deviceOpen = false;
    bool deviceSteady = false; // the device has taken music steadily since it opened
};

// Keeps the music in step with the picture and reports how well it kept, for --stats. Every tenth of a
// second of show time it reads the decoder's position less the show time. Played as it should, the two
// keep within a few tens of ms; a sound device that starved (an overloaded machine) or a process that was
// stopped and continued (Ctrl+Z, fg) leaves the music behind the picture, and it would stay behind for the
// rest of the show: past maxGapMs the music is moved to the picture's time. The report lists the gap at the
// first frame of every scene and after every jump in show time (a seek), at the end, the largest, and the
// moves.
class MusicSync final : public FrameObserver {
public:
    static constexpr double maxGapMs = 100.0;

    MusicSync();
    void framePresented(int sceneIndex, const Scene& scene) override;
    std::string report() const;

private:
    struct Sample {
        int scene;
        double showMs;
        double gapMs;
    };
    std::vector<double> sceneStarts;
    std::vector<Sample> samples; // the scene starts and seeks
    Sample largest{-1, 0.0, 0.0};
    Sample last{-1, 0.0, 0.0};
    int lastScene = -1;
    double lastShowMs = -1.0;
    double lastReadMs = -1.0;
    double lastMusic = -1.0;
    int moves = 0;
};

} // namespace halcyra
