// Measurements of a rendered song for judging the mix without listening: per scene the peak and RMS level
// and how the energy splits into four bands, where the loud and quiet stretches are, and the longest
// near-silent stretch. The soundtrack program prints them with --report.
#pragma once

#include "soundtrack/Song.h"
#include "soundtrack/SongRenderer.h"

#include <ostream>

namespace halcyra {

void printReport(const Song& song, const StereoBuffer& audio, std::ostream& out);

} // namespace halcyra
