// Measurements of a rendered song for judging the mix without listening: per scene the peak and RMS level
// and its energy in octave bands, the RMS of every bar (where it builds, breaks and ends), and the longest
// near-silent stretch. The soundtrack program prints them with --report.
#pragma once

#include "soundtrack/Song.h"
#include "soundtrack/SongRenderer.h"

#include <ostream>

namespace halcyra {

void printReport(const Song& song, const StereoBuffer& audio, std::ostream& out);

} // namespace halcyra
