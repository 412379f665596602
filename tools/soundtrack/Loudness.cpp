#include "soundtrack/Loudness.h"

#include "soundtrack/PeakInterpolator.h"

#include <algorithm>
#include <cmath>

namespace halcyra {
namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double absoluteGate = -70.0;

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

// The K-weighting of BS.1770: a high shelf of about +4 dB above 1.5 kHz (the head's effect), then a
// high-pass near 38 Hz (the revised low-frequency B-curve), for any sample rate.
struct KWeighting {
    explicit KWeighting(double rate) {
        {
            const double f0 = 1681.974450955533, gain = 3.999843853973347, q = 0.7071752369554196;
            const double k = std::tan(pi * f0 / rate);
            const double vh = std::pow(10.0, gain / 20.0);
            const double vb = std::pow(vh, 0.4996667741545416);
            const double a0 = 1.0 + k / q + k * k;
            shelf.b0 = (vh + vb * k / q + k * k) / a0;
            shelf.b1 = 2.0 * (k * k - vh) / a0;
            shelf.b2 = (vh - vb * k / q + k * k) / a0;
            shelf.a1 = 2.0 * (k * k - 1.0) / a0;
            shelf.a2 = (1.0 - k / q + k * k) / a0;
        }
        {
            const double f0 = 38.13547087602444, q = 0.5003270373238773;
            const double k = std::tan(pi * f0 / rate);
            const double a0 = 1.0 + k / q + k * k;
            highPass.b0 = 1.0;
            highPass.b1 = -2.0;
            highPass.b2 = 1.0;
            highPass.a1 = 2.0 * (k * k - 1.0) / a0;
            highPass.a2 = (1.0 - k / q + k * k) / a0;
        }
    }
    double process(double x) { return highPass.process(shelf.process(x)); }

    Biquad shelf, highPass;
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

double loudnessOf(double meanSquare) {
    return -0.691 + 10.0 * std::log10(std::max(meanSquare, 1.0e-20));
}

// K-weighted energy (both channels summed) of every 100 ms step of frames [begin, end); a partial step at
// the end is dropped.
std::vector<double> stepEnergies(const std::vector<float>& left, const std::vector<float>& right,
                                 size_t begin, size_t end, size_t step, double rate) {
    end = std::min({end, left.size(), right.size()});
    std::vector<double> energies;
    if (begin >= end)
        return energies;
    KWeighting weightLeft(rate), weightRight(rate);
    double sum = 0.0;
    size_t inStep = 0;
    for (size_t n = begin; n < end; ++n) {
        const double l = weightLeft.process(left[n]), r = weightRight.process(right[n]);
        sum += l * l + r * r;
        if (++inStep == step) {
            energies.push_back(sum);
            sum = 0.0;
            inStep = 0;
        }
    }
    return energies;
}

// Loudness of every window of `steps` consecutive steps, one window per step.
std::vector<double> windowLoudness(const std::vector<double>& energies, size_t steps, size_t step) {
    std::vector<double> loudness;
    double sum = 0.0;
    for (size_t i = 0; i < energies.size(); ++i) {
        sum += energies[i];
        if (i >= steps)
            sum -= energies[i - steps];
        if (i + 1 >= steps)
            loudness.push_back(loudnessOf(std::max(sum, 0.0) / static_cast<double>(steps * step)));
    }
    return loudness;
}

// The windows above the absolute gate and above the mean (as power) of those less `relativeGate` LU.
std::vector<double> gated(const std::vector<double>& loudness, double relativeGate) {
    double power = 0.0;
    size_t count = 0;
    for (double l : loudness) {
        if (l > absoluteGate) {
            power += std::pow(10.0, l / 10.0);
            ++count;
        }
    }
    std::vector<double> kept;
    if (count == 0)
        return kept;
    const double threshold = 10.0 * std::log10(power / static_cast<double>(count)) - relativeGate;
    for (double l : loudness) {
        if (l > absoluteGate && l > threshold)
            kept.push_back(l);
    }
    return kept;
}

double peakOf(const std::vector<float>& signal) {
    PeakInterpolator between(signal);
    between.extend(signal.size());
    float peak = 0.0f;
    for (size_t n = 0; n < signal.size(); ++n)
        peak = std::max(peak, between.peakAfter(n, peak));
    return peak;
}

} // namespace

double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right, size_t begin,
                          size_t end, double sampleRate) {
    const size_t step = static_cast<size_t>(std::lround(0.1 * sampleRate));
    const std::vector<double> blocks =
        windowLoudness(stepEnergies(left, right, begin, end, step, sampleRate), 4, step);
    const std::vector<double> kept = gated(blocks, 10.0);
    if (kept.empty())
        return absoluteGate;
    double power = 0.0;
    for (double l : kept)
        power += std::pow(10.0, l / 10.0);
    return 10.0 * std::log10(power / static_cast<double>(kept.size()));
}

LoudnessRange loudnessRange(const std::vector<float>& left, const std::vector<float>& right,
                            double sampleRate) {
    const size_t step = static_cast<size_t>(std::lround(0.1 * sampleRate));
    std::vector<double> kept =
        gated(windowLoudness(stepEnergies(left, right, 0, left.size(), step, sampleRate), 30, step), 20.0);
    LoudnessRange range;
    if (kept.empty())
        return range;
    std::sort(kept.begin(), kept.end());
    const auto percentile = [&](double p) {
        return kept[static_cast<size_t>(std::lround(p * static_cast<double>(kept.size() - 1)))];
    };
    range.low = percentile(0.10);
    range.high = percentile(0.95);
    return range;
}

double truePeakDb(const std::vector<float>& left, const std::vector<float>& right) {
    const double peak = std::max(peakOf(left), peakOf(right));
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
