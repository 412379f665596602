// Band-limited oscillators for the soundtrack synthesizer: saw and square with PolyBLEP corrections at their
// steps, a sine and a plain triangle (its harmonics fall fast enough not to need one). The phase runs in
// cycles [0, 1); callers advance it by frequency / sample rate each sample. Used by every tonal voice.
#pragma once

#include <cmath>

namespace halcyra {

constexpr float twoPi = 6.2831853f;

// PolyBLEP residual for a unit step at phase 0, for phase `t` and increment `dt` (both in cycles).
inline float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

enum class Waveform { Sine, Saw, Square, Triangle };

class Oscillator {
public:
    void reset(float startPhase = 0.0f) { phase = startPhase; }

    // The current sample, then one step of `increment` cycles (kept below 0.5 by the callers).
    float next(Waveform shape, float increment) {
        float value = 0.0f;
        switch (shape) {
        case Waveform::Sine:
            value = std::sin(twoPi * phase);
            break;
        case Waveform::Saw:
            value = 2.0f * phase - 1.0f - polyBlep(phase, increment);
            break;
        case Waveform::Square: {
            float half = phase + 0.5f;
            if (half >= 1.0f)
                half -= 1.0f;
            value = (phase < 0.5f ? 1.0f : -1.0f) + polyBlep(phase, increment) - polyBlep(half, increment);
            break;
        }
        case Waveform::Triangle:
            value = 4.0f * std::fabs(phase - 0.5f) - 1.0f;
            break;
        }
        phase += increment;
        if (phase >= 1.0f)
            phase -= 1.0f;
        return value;
    }

private:
    float phase = 0.0f;
};

// Frequency in Hz of MIDI note `note` (69 is A4 at 440 Hz), shifted by `cents`.
inline float noteFrequency(float note, float cents = 0.0f) {
    return 440.0f * std::exp2((note - 69.0f + cents * 0.01f) / 12.0f);
}

} // namespace halcyra
