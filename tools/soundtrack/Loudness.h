// Loudness of a stereo recording the way broadcast meters read it (ITU-R BS.1770, EBU R128), measured by
// libebur128: the integrated loudness, the loudness range and the true peak. Also the level of the mix in
// bands split by the same two-pole filters ffmpeg's lowpass and highpass use, which that library does not
// measure. SongReport prints these for the built MP3; the tests hold the soundtrack to them. Pure functions
// of the samples; any length works (too short a stretch reads −70 LUFS).
#pragma once

#include <cstddef>
#include <vector>

namespace halcyra {

struct LoudnessRange {
    double low = -70.0, high = -70.0; // LUFS at the 10th and 95th percentile of the gated 3 s windows
    double range() const { return high - low; }
};

// Integrated loudness in LUFS of frames [begin, end), gated as BS.1770-4 gates (−70 LUFS, then 10 LU under
// the mean). −70 when nothing passes the gate.
double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right, size_t begin,
                          size_t end, double sampleRate);

// Loudness range of the whole recording (EBU Tech 3342).
LoudnessRange loudnessRange(const std::vector<float>& left, const std::vector<float>& right,
                            double sampleRate);

// Largest magnitude of either channel between and on its frames, in dBTP, from 4× oversampling.
double truePeakDb(const std::vector<float>& left, const std::vector<float>& right);

// RMS level in dBFS of the mono mix (L + R) / 2 of frames [begin, end) after a two-pole Butterworth high-pass
// at `highPassHz` and low-pass at `lowPassHz`; 0 leaves that filter out.
double bandLevelDb(const std::vector<float>& left, const std::vector<float>& right, size_t begin, size_t end,
                   double sampleRate, double highPassHz, double lowPassHz);

} // namespace halcyra
