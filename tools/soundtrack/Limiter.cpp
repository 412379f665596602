#include "soundtrack/Limiter.h"

#include "soundtrack/PeakInterpolator.h"
#include "soundtrack/Song.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <utility>

namespace halcyra {

void limit(std::vector<float>& left, std::vector<float>& right, float ceiling, int lookahead,
           float releaseSeconds) {
    const size_t frames = std::min(left.size(), right.size());
    const size_t window = static_cast<size_t>(std::max(lookahead, 1));
    // A hair under the ceiling, so that gain × sample cannot round above it.
    const float target = ceiling * 0.9995f;
    // Positions count from `window − 1` frames of silence before the song, so the gain can already be down
    // when a peak comes in the very first frames.
    const size_t lead = window - 1;
    const size_t positions = frames + lead;
    // Peaks between frames count too: a decoder rebuilds them, and MP3 adds its own error on top.
    const PeakInterpolator betweenLeft(left), betweenRight(right);
    auto needed = [&](size_t position) {
        if (position < lead)
            return 1.0f;
        const size_t n = position - lead;
        const float peak = std::max(betweenLeft.peakAfter(n, target), betweenRight.peakAfter(n, target));
        return peak > target ? target / peak : 1.0f;
    };
    // held(p) = the smallest gain needed at positions p … p + window − 1 (a sliding minimum);
    // smooth(p) = the mean of held over positions p − window + 1 … p. Every held value in that mean looks
    // ahead to position p, so smooth(p) never exceeds what p needs, and it ramps down over `window`.
    std::deque<std::pair<size_t, float>> minimum;
    std::vector<float> heldRing(window, 1.0f);
    double heldSum = static_cast<double>(window);
    size_t nextAhead = 0;
    const float recover = 1.0f - std::exp(-1.0f / (releaseSeconds * static_cast<float>(sampleRate)));
    float gain = 1.0f;
    for (size_t p = 0; p < positions; ++p) {
        for (; nextAhead < std::min(positions, p + window); ++nextAhead) {
            const float g = needed(nextAhead);
            while (!minimum.empty() && minimum.back().second >= g)
                minimum.pop_back();
            minimum.emplace_back(nextAhead, g);
        }
        while (minimum.front().first < p)
            minimum.pop_front();
        const float held = minimum.front().second;
        float& slot = heldRing[p % window];
        heldSum += static_cast<double>(held) - static_cast<double>(slot);
        slot = held;
        if (p < lead)
            continue;
        const float smooth = static_cast<float>(heldSum / static_cast<double>(window));
        gain = std::min(smooth, gain + (1.0f - gain) * recover);
        left[p - lead] *= gain;
        right[p - lead] *= gain;
    }
}

} // namespace halcyra
