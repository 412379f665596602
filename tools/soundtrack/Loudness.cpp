#include "soundtrack/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace halcyra {
namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double silent = -70.0; // what a stretch with nothing above the absolute gate reads

struct MeterDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
using Meter = std::unique_ptr<ebur128_state, MeterDeleter>;

Meter meter(double sampleRate, int mode) {
    return Meter(ebur128_init(2, static_cast<unsigned long>(sampleRate), mode));
}

// Hands frames [begin, end) of the two channels to the meter, `chunk` frames at a time; `after` runs after
// each chunk.
template <typename After>
void feed(ebur128_state* state, const std::vector<float>& left, const std::vector<float>& right, size_t begin,
          size_t end, size_t chunk, After&& after) {
    std::vector<float> interleaved;
    for (size_t from = begin; from < end; from += chunk) {
        const size_t to = std::min(end, from + chunk);
        interleaved.resize(2 * (to - from));
        for (size_t n = from; n < to; ++n) {
            interleaved[2 * (n - from)] = left[n];
            interleaved[2 * (n - from) + 1] = right[n];
        }
        ebur128_add_frames_float(state, interleaved.data(), to - from);
        after();
    }
}

double orSilent(double loudness) {
    return std::isfinite(loudness) ? std::max(loudness, silent) : silent;
}

struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

    double process(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Two-pole Butterworth sections as ffmpeg's lowpass and highpass filters make them (Q = 0.707).
Biquad butterworth(double frequency, double rate, bool highPass) {
    const double w0 = 2.0 * pi * frequency / rate;
    const double alpha = std::sin(w0) / (2.0 * 0.707);
    const double cosine = std::cos(w0);
    const double a0 = 1.0 + alpha;
    Biquad filter;
    const double edge = highPass ? (1.0 + cosine) / 2.0 : (1.0 - cosine) / 2.0;
    filter.b0 = edge / a0;
    filter.b1 = (highPass ? -2.0 * edge : 2.0 * edge) / a0;
    filter.b2 = edge / a0;
    filter.a1 = -2.0 * cosine / a0;
    filter.a2 = (1.0 - alpha) / a0;
    return filter;
}

} // namespace

double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right, size_t begin,
                          size_t end, double sampleRate) {
    end = std::min({end, left.size(), right.size()});
    const Meter state = meter(sampleRate, EBUR128_MODE_I);
    if (state == nullptr || begin >= end)
        return silent;
    feed(state.get(), left, right, begin, end, 1 << 16, [] {});
    double loudness = -HUGE_VAL;
    ebur128_loudness_global(state.get(), &loudness);
    return orSilent(loudness);
}

LoudnessRange loudnessRange(const std::vector<float>& left, const std::vector<float>& right,
                            double sampleRate) {
    LoudnessRange range;
    const size_t end = std::min(left.size(), right.size());
    const Meter state = meter(sampleRate, EBUR128_MODE_LRA);
    if (state == nullptr || end == 0)
        return range;
    // The meter gives the range; the two levels it lies between come from the short-term loudness every
    // 100 ms, gated as EBU Tech 3342 gates them: absolutely at −70 LUFS, then 20 LU under their mean power.
    std::vector<double> windows;
    const size_t step = static_cast<size_t>(sampleRate / 10.0);
    size_t fed = 0;
    feed(state.get(), left, right, 0, end, step, [&] {
        fed += step;
        double shortTerm = -HUGE_VAL;
        if (fed >= 3 * static_cast<size_t>(sampleRate) &&
            ebur128_loudness_shortterm(state.get(), &shortTerm) == EBUR128_SUCCESS && std::isfinite(shortTerm) &&
            shortTerm > silent)
            windows.push_back(shortTerm);
    });
    double lra = 0.0;
    if (windows.empty() || ebur128_loudness_range(state.get(), &lra) != EBUR128_SUCCESS)
        return range;
    double power = 0.0;
    for (const double loudness : windows)
        power += std::pow(10.0, loudness / 10.0);
    const double relativeGate = 10.0 * std::log10(power / static_cast<double>(windows.size())) - 20.0;
    std::erase_if(windows, [&](double loudness) { return loudness < relativeGate; });
    std::sort(windows.begin(), windows.end());
    const auto percentile = [&](double share) {
        return windows[std::min(windows.size() - 1, static_cast<size_t>(share * (windows.size() - 1) + 0.5))];
    };
    range.high = percentile(0.95);
    range.low = range.high - lra;
    return range;
}

double truePeakDb(const std::vector<float>& left, const std::vector<float>& right) {
    const size_t end = std::min(left.size(), right.size());
    const Meter state = meter(44100.0, EBUR128_MODE_TRUE_PEAK);
    double peak = 0.0;
    if (state != nullptr && end > 0) {
        feed(state.get(), left, right, 0, end, 1 << 16, [] {});
        for (unsigned int channel = 0; channel < 2; ++channel) {
            double channelPeak = 0.0;
            if (ebur128_true_peak(state.get(), channel, &channelPeak) == EBUR128_SUCCESS)
                peak = std::max(peak, channelPeak);
        }
    }
    return 20.0 * std::log10(std::max(peak, 1.0e-10));
}

double bandLevelDb(const std::vector<float>& left, const std::vector<float>& right, size_t begin, size_t end,
                   double sampleRate, double highPassHz, double lowPassHz) {
    end = std::min({end, left.size(), right.size()});
    if (begin >= end)
        return -200.0;
    Biquad high = butterworth(highPassHz > 0.0 ? highPassHz : 1.0, sampleRate, true);
    Biquad low = butterworth(lowPassHz > 0.0 ? lowPassHz : 1000.0, sampleRate, false);
    double energy = 0.0;
    for (size_t n = begin; n < end; ++n) {
        double x = 0.5 * (static_cast<double>(left[n]) + right[n]);
        if (highPassHz > 0.0)
            x = high.process(x);
        if (lowPassHz > 0.0)
            x = low.process(x);
        energy += x * x;
    }
    return 10.0 * std::log10(std::max(energy / static_cast<double>(end - begin), 1.0e-20));
}

} // namespace halcyra
