// MusicStream: the soundtrack, one MP3 played once from the first scene to the last on SDL2_mixer's own
// threads. The picture never reads the playback position: music and frames stay together because both
// start at the same moment. Failures are reported and the show runs on in silence.
#pragma once

#include "core/Singleton.h"

struct _Mix_Music;

namespace halcyra {

class MusicStream : public Singleton<MusicStream> {
public:
    // Opens the audio device (44,100 Hz, stereo, 1024-frame buffer) and the file.
    void open(const char* path);
    // Starts playback `startSeconds` into the file.
    void play(double startSeconds = 0.0);
    void stop();
    void release();

    _Mix_Music* stream = nullptr; // null when opening the file failed

private:
    friend class Singleton<MusicStream>;
    MusicStream() = default;

    bool deviceOpen = false;
};

} // namespace halcyra
