// ADSR envelope for the synthesizer's voices: a linear attack from wherever the level stands (so a retrigger
// never clicks), then exponential decay towards the sustain level and an exponential release. Times are in
// seconds: decay covers 95 % of its distance in its time, release falls by 60 dB in its time. Beside it, the
// drums' plain one-shot decay and the seeded white-noise source.
#pragma once

#include <cmath>

namespace halcyra {

class Envelope {
public:
    void setup(float attack, float decay, float sustain, float release, float sampleRate) {
        attackStep = 1.0f / std::fmax(attack * sampleRate, 1.0f);
        decayCoefficient = coefficientFor(decay, 3.0f, sampleRate);
        releaseCoefficient = coefficientFor(release, 6.9f, sampleRate);
        sustainLevel = sustain;
    }

    void gateOn() { stage = Stage::Attack; }
    void gateOff() {
        if (stage != Stage::Idle)
            stage = Stage::Release;
    }
    void stop() {
        stage = Stage::Idle;
        level = 0.0f;
    }

    bool active() const { return stage != Stage::Idle; }
    bool releasing() const { return stage == Stage::Release; }
    float value() const { return level; }

    float next() {
        switch (stage) {
        case Stage::Idle:
            break;
        case Stage::Attack:
            level += attackStep;
            if (level >= 1.0f) {
                level = 1.0f;
                stage = Stage::Decay;
            }
            break;
        case Stage::Decay:
            level = sustainLevel + decayCoefficient * (level - sustainLevel);
            if (level < 1.0e-4f) // a note without sustain has ended
                stop();
            break;
        case Stage::Release:
            level *= releaseCoefficient;
            if (level < 2.0e-4f)
                stop();
            break;
        }
        return level;
    }

private:
    enum class Stage { Idle, Attack, Decay, Release };

    // Per-sample factor that shrinks a distance by e^−`exponent` in `seconds`.
    static float coefficientFor(float seconds, float exponent, float sampleRate) {
        return std::exp(-exponent / std::fmax(seconds * sampleRate, 1.0f));
    }

    Stage stage = Stage::Idle;
    float level = 0.0f;
    float attackStep = 1.0f;
    float decayCoefficient = 0.0f;
    float releaseCoefficient = 0.0f;
    float sustainLevel = 1.0f;
};

// A plain exponential decay from 1, for the drums' one-shot envelopes.
class Decay {
public:
    void setup(float seconds, float sampleRate) {
        coefficient = std::exp(-1.0f / std::fmax(seconds * sampleRate, 1.0f));
    }
    void trigger() { level = 1.0f; }
    float next() {
        const float current = level;
        level *= coefficient;
        return current;
    }
    float value() const { return level; }

private:
    float coefficient = 0.0f;
    float level = 0.0f;
};

// White noise from a 32-bit xorshift generator: the same seed gives the same noise on every run.
class Noise {
public:
    Noise() = default;
    explicit Noise(unsigned seed) : state(seed != 0 ? seed : 0x9E3779B9u) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(static_cast<int>(state)) * (1.0f / 2147483648.0f);
    }

private:
    unsigned state = 0x9E3779B9u;
};

} // namespace halcyra
