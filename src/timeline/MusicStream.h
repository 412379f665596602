// MusicStream: the soundtrack's file and the sound device, one MP3 played on SDL2_mixer's own threads.
// It starts the music at a place in the file once the device takes its sound, reports where the decoder
// stands and how far the sound path buffers ahead of what is heard (the device's latency). What plays when,
// and keeping it with the picture, is the Soundtrack's (timeline/Soundtrack.h). Failures are reported and
// the show runs on in silence.
#pragma once

#include "core/Singleton.h"

#include <string>
#include <vector>

struct _Mix_Music;

namespace halcyra {

class MusicStream : public Singleton<MusicStream> {
public:
    // Frames of the device's buffer, about 23 ms (twice that through a sound server): sound follows the
    // picture closely. HALCYRA_AUDIO_FRAMES (256 to 16384) asks for another size, for trying a sound path
    // that buffers more.
    static constexpr int bufferFrames = 1024;
    // Opens the audio device (44,100 Hz, stereo) and the file.
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
    // How far the decoder runs ahead of what is heard (ms): the device's buffer, what the decoder was seen
    // to run ahead of the clock as the device first took sound, and on a sound server the latency of the
    // sink it plays to, as the server reports it. Known once the device has taken sound.
    double latencyMs() const { return latency; }

    _Mix_Music* stream = nullptr; // null when opening the file failed

private:
    friend class Singleton<MusicStream>;
    MusicStream() = default;

    bool deviceOpen = false;
    bool deviceSteady = false; // the device has taken music steadily since it opened
    int frames = bufferFrames; // the device buffer asked for
    double latency = 0.0;
};

} // namespace halcyra
