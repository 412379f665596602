// The master limiter: brings a whole rendered song under a ceiling without clipping. It watches the peaks
// between frames as well (4× oversampled), which a decoder rebuilds. The gain starts to fall `lookahead`
// frames before a peak so it is already down when the peak arrives, and recovers with a smooth release;
// every output sample ends at or below the ceiling. Works offline, in place.
#pragma once

#include <vector>

namespace halcyra {

void limit(std::vector<float>& left, std::vector<float>& right, float ceiling, int lookahead,
           float releaseSeconds);

} // namespace halcyra
