// Decodes an MP3 file with libmpg123 set up the way SDL2_mixer 2.6 sets it up for the show (every rate,
// mono or stereo, every sample encoding offered; the library's default flags, gapless on), so what it
// returns is what the show plays. For the soundtrack's checks; failures throw Mp3Error.
#pragma once

#include "soundtrack/Mp3Encoder.h"

#include <string>
#include <vector>

namespace halcyra {

struct DecodedMp3 {
    long sampleRate = 0;
    int channels = 0;
    std::vector<float> left, right; // full scale ±1; right repeats left for a mono file
};

DecodedMp3 decodeMp3(const std::string& path);

} // namespace halcyra
