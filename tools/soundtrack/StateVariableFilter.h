// The synthesizer's filter: a trapezoidal-integrated state-variable filter (low, band and high outputs from
// one structure). It stays stable while its cutoff moves every few samples, which the envelopes and the
// song's cutoff curves do all the time. Cutoff is clamped to 20 Hz … 0.45 × the sample rate.
#pragma once

#include <algorithm>
#include <cmath>

namespace halcyra {

class StateVariableFilter {
public:
    // `resonance` 0 gives Q 0.5 (no peak), 1 gives Q 25.
    void setup(float cutoff, float resonance, float sampleRate) {
        cutoff = std::clamp(cutoff, 20.0f, 0.45f * sampleRate);
        g = std::tan(3.14159265f * cutoff / sampleRate);
        k = 2.0f - 1.96f * std::clamp(resonance, 0.0f, 1.0f);
        a1 = 1.0f / (1.0f + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }

    void reset() { ic1 = ic2 = 0.0f; }

    float lowpass(float x) {
        step(x);
        return v2;
    }
    float bandpass(float x) {
        step(x);
        return v1;
    }
    float highpass(float x) {
        step(x);
        return x - k * v1 - v2;
    }

private:
    void step(float x) {
        const float v3 = x - ic2;
        v1 = a1 * ic1 + a2 * v3;
        v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
    }

    float g = 0.0f, k = 2.0f, a1 = 1.0f, a2 = 0.0f, a3 = 0.0f;
    float ic1 = 0.0f, ic2 = 0.0f;
    float v1 = 0.0f, v2 = 0.0f;
};

// One-pole low-pass smoother, also used as a tone control in the effects' feedback paths.
class OnePole {
public:
    void setup(float cutoff, float sampleRate) { coefficient = std::exp(-6.2831853f * cutoff / sampleRate); }
    float lowpass(float x) { return state = x + coefficient * (state - x); }
    float highpass(float x) { return x - lowpass(x); }

private:
    float coefficient = 0.0f;
    float state = 0.0f;
};

} // namespace halcyra
