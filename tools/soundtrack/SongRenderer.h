// Renders a Song to stereo floats at 44.1 kHz: each track's instrument plays its events at their exact
// frames, goes through its gain, pan, chorus and ducking under the kick, and sends to the shared reverb
// and delay; the master gain curve, the master's tone and the limiter (at the song's ceiling) finish the mix.
// The same song always gives the same samples: no clocks, no shared state, fixed noise seeds, denormals
// flushed while rendering. The drums and the tonal tracks render on two threads, each group added up in a
// fixed order, so the samples do not depend on how the threads are scheduled, or on there being two.
#pragma once

#include "soundtrack/Song.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace halcyra {

struct StereoBuffer {
    std::vector<float> left, right;
};

struct RenderOptions {
    // Frames of the song's start left out of the output, for a decoder that plays that many frames late.
    int64_t skipFrames = 0;
    // Frames to render after the skipped ones; -1 renders to the song's end.
    int64_t frames = -1;
    // When set, only this track is heard (with its sends), for measuring one part of the mix.
    std::string solo;
};

StereoBuffer renderSong(const Song& song, const RenderOptions& options = {});

// Renders into `out`, first sized to the whole render, and calls `progress` on the rendering thread whenever
// more of its first frames are final (limited too), with their count; the last call counts them all. Frames
// below that count may be read on another thread while the render goes on.
void renderSong(const Song& song, const RenderOptions& options, StereoBuffer& out,
                const std::function<void(size_t)>& progress);

} // namespace halcyra
