#include "soundtrack/Limiter.h"

#include "soundtrack/Song.h"

#include <algorithm>
#include <cmath>

namespace halcyra {

Limiter::Limiter(std::vector<float>& leftSide, std::vector<float>& rightSide, float ceiling, int lookahead,
                 float releaseSeconds)
    : left(leftSide), right(rightSide), frames(std::min(leftSide.size(), rightSide.size())),
      window(static_cast<size_t>(std::max(lookahead, 1))),
      // Positions count from `window − 1` frames of silence before the song, so the gain can already be
      // down when a peak comes in the very first frames.
      lead(window - 1), positions(frames + lead),
      // A hair under the ceiling, so that gain × sample cannot round above it.
      target(ceiling * 0.9995f),
      recover(1.0f - std::exp(-1.0f / (releaseSeconds * static_cast<float>(sampleRate)))),
      betweenLeft(leftSide), betweenRight(rightSide), heldRing(window, 1.0f),
      heldSum(static_cast<double>(window)) {}

float Limiter::needed(size_t at) const {
    if (at < lead)
        return 1.0f;
    // Peaks between frames count too: a decoder rebuilds them, and MP3 adds its own error on top.
    const size_t n = at - lead;
    const float peak = std::max(betweenLeft.peakAfter(n, target), betweenRight.peakAfter(n, target));
    return peak > target ? target / peak : 1.0f;
}

size_t Limiter::advance(size_t written) {
    written = std::min(written, frames);
    betweenLeft.extend(written);
    betweenRight.extend(written);
    // held(p) = the smallest gain needed at positions p … p + window − 1 (a sliding minimum);
    // smooth(p) = the mean of held over positions p − window + 1 … p. Every held value in that mean looks
    // ahead to position p, so smooth(p) never exceeds what p needs, and it ramps down over `window`.
    // Position p needs frame p and the interpolator's reach beyond it.
    for (; position < positions && (written == frames || position + PeakInterpolator::half < written);
         ++position) {
        const size_t p = position;
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
    return position > lead ? position - lead : 0;
}

void limit(std::vector<float>& left, std::vector<float>& right, float ceiling, int lookahead,
           float releaseSeconds) {
    Limiter limiter(left, right, ceiling, lookahead, releaseSeconds);
    limiter.advance(std::min(left.size(), right.size()));
}

} // namespace halcyra
