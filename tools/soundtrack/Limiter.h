// The master limiter: brings a whole rendered song under a ceiling without clipping. It watches the peaks
// between frames as well (4× oversampled), which a decoder rebuilds. The gain starts to fall `lookahead`
// frames before a peak so it is already down when the peak arrives, and recovers with a smooth release;
// every output sample ends at or below the ceiling. It works in place, on a whole song (limit) or on one
// still being rendered (Limiter), with the same result.
#pragma once

#include "soundtrack/PeakInterpolator.h"

#include <cstddef>
#include <deque>
#include <utility>
#include <vector>

namespace halcyra {

// Limits a song while it is rendered. `left` and `right` already have the song's length and outlive the
// limiter; advance says how far the song has been written, and answers how many of its first frames are
// now limited and final. Frames come out about `lookahead` frames behind those going in.
class Limiter {
public:
    Limiter(std::vector<float>& left, std::vector<float>& right, float ceiling, int lookahead,
            float releaseSeconds);
    // Frames [0, written) hold the song; at the song's full length everything becomes final.
    size_t advance(size_t written);

private:
    float needed(size_t position) const;

    std::vector<float>&left, &right;
    size_t frames, window, lead, positions;
    float target, recover;
    PeakInterpolator betweenLeft, betweenRight;
    std::deque<std::pair<size_t, float>> minimum;
    std::vector<float> heldRing;
    double heldSum;
    size_t nextAhead = 0, position = 0;
    float gain = 1.0f;
};

void limit(std::vector<float>& left, std::vector<float>& right, float ceiling, int lookahead,
           float releaseSeconds);

} // namespace halcyra
