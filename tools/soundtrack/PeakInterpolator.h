// The signal between a recording's frames, as a decoder's reconstruction filter rebuilds it: windowed-sinc
// interpolation at ¼, ½ and ¾ of the way from each frame to the next (4× oversampling) from 16 frames on
// each side, accurate to about 0.05 dB up to 18 kHz. The limiter keeps these peaks under its ceiling; the
// loudness meter reads the true peak from them. An interpolator watches one signal, which must outlive it,
// as far as it has been told the signal is final (extend), so a signal still being written can be watched.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace halcyra {

class PeakInterpolator {
public:
    static constexpr int half = 16;

    explicit PeakInterpolator(const std::vector<float>& watched) : signal(watched) {
        constexpr double pi = 3.14159265358979323846;
        for (int phase = 0; phase < 3; ++phase) {
            const double offset = 0.25 * (phase + 1);
            double sum = 0.0;
            for (int k = 0; k < 2 * half; ++k) {
                const double x = static_cast<double>(k - half + 1) - offset;
                const double sinc = std::sin(pi * x) / (pi * x);
                const double window =
                    0.42 + 0.5 * std::cos(pi * x / (half + 1)) + 0.08 * std::cos(2.0 * pi * x / (half + 1));
                weights[phase][k] = static_cast<float>(sinc * window);
                sum += std::fabs(sinc * window);
            }
            reach = std::max(reach, static_cast<float>(sum));
        }
        runPeaks.assign(signal.size() / (2 * half) + 1, 0.0f);
    }

    // Frames [0, frames) of the signal are final.
    void extend(size_t frames) {
        frames = std::min(frames, signal.size());
        // The largest magnitude in each run of 2 × half frames: any window of that length lies in two runs.
        for (; known < frames; ++known)
            runPeaks[known / (2 * half)] = std::max(runPeaks[known / (2 * half)], std::fabs(signal[known]));
    }

    // The largest magnitude of the signal at frame n and between frames n and n + 1, where that could exceed
    // `floor`; where it cannot, the frame's own magnitude. Within `half` frames of the ends of what is final,
    // the frame's own magnitude.
    float peakAfter(size_t n, float floor) const {
        float peak = std::fabs(signal[n]);
        if (n + 1 < half || n + half >= known)
            return peak;
        const size_t first = n + 1 - half;
        const float nearby =
            std::max(runPeaks[first / (2 * half)], runPeaks[(first + 2 * half - 1) / (2 * half)]);
        if (nearby * reach <= floor)
            return peak;
        const float* around = signal.data() + first;
        // Four running sums a phase, four frames a step, in vector registers; added in a fixed order, so
        // every build gets the same result.
        Four sums[3] = {};
        for (int k = 0; k < 2 * half; k += 4) {
            Four frames;
            std::memcpy(&frames, around + k, sizeof frames);
            for (int phase = 0; phase < 3; ++phase) {
                Four taps;
                std::memcpy(&taps, &weights[phase][k], sizeof taps);
                sums[phase] += taps * frames;
            }
        }
        for (const Four& sum : sums)
            peak = std::max(peak, std::fabs((sum[0] + sum[1]) + (sum[2] + sum[3])));
        return peak;
    }

private:
    typedef float Four __attribute__((vector_size(16)));

    const std::vector<float>& signal;
    float weights[3][2 * half] = {};
    float reach = 0.0f; // no interpolated value exceeds the largest nearby frame times this
    std::vector<float> runPeaks;
    size_t known = 0;
};

} // namespace halcyra
