// MusicStream: the soundtrack, one MP3 played from the first scene to the last on SDL2_mixer's own threads.
// The picture never follows the playback position: music and frames stay together because both start at the
// same moment (and again at the same moment after a seek or a pause); the position is read only to report
// how close they are. Failures are reported and the show runs on in silence.
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
    // Starts playback `startSeconds` into the file (again from there after a seek or a pause).
    void play(double startSeconds = 0.0);
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
};

// The music against the picture, for --stats: at the first frame of every scene, and at the first after a
// jump in show time (a seek), the decoder's position less the show time. Reading the position changes
// nothing of the playback.
class MusicSync final : public FrameObserver {
public:
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
    std::vector<Sample> samples;
    int lastScene = -1;
    double lastShowMs = -1.0;
};

} // namespace halcyra
