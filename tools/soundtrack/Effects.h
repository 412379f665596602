// The mix's effects: a feedback-delay-network reverb and a tempo-synced ping-pong delay, both fed from
// the tracks' sends, the stereo chorus a track may have as an insert, and the master bus's tone (a low cut
// and two shelves). SongRenderer owns one of each send effect, a chorus per track that asks for one, and
// the master tone. State starts silent; nothing is random.
#pragma once

#include <cstddef>
#include <vector>

namespace halcyra {

// A delay line with a power-of-two buffer; read(d) is the sample pushed d pushes ago.
class DelayLine {
public:
    void resize(size_t minimumLength);
    float read(size_t delay) const { return buffer[(write - delay) & mask]; }
    float readFractional(float delay) const;
    void push(float x) { buffer[write++ & mask] = x; }

private:
    std::vector<float> buffer;
    size_t mask = 0;
    size_t write = 0;
};

class Reverb {
public:
    // `decaySeconds` is the time the tail takes to fall by 60 dB at low frequencies.
    explicit Reverb(float decaySeconds);
    // Adds the reverberation of the mono `input` to `left` and `right`.
    void process(const float* input, float* left, float* right, int frames);

private:
    static constexpr int lineCount = 8;
    DelayLine predelay;
    DelayLine diffusers[4];
    DelayLine lines[lineCount];
    float gains[lineCount] = {};
    float damping[lineCount] = {};
    float inputSmooth = 0.0f, inputBass = 0.0f;
};

class PingPongDelay {
public:
    PingPongDelay(int delayFrames, float feedback);
    // Adds echoes of the mono `input`, first on the left, then alternating, to `left` and `right`.
    void process(const float* input, float* left, float* right, int frames);

private:
    int delayFrames;
    float feedback;
    DelayLine lineLeft, lineRight;
    float smoothLeft = 0.0f, smoothRight = 0.0f, bassLeft = 0.0f, bassRight = 0.0f;
};

// The master's tone: a two-pole high-pass at `lowCut` Hz (none at 0), a shelf of `bass` dB under 110 Hz, a
// broad bell of `body` dB round 250 Hz, a broad bell of `presence` dB round 4 kHz and a shelf of `air` dB
// over 6 kHz, the same on both sides.
// Computed in double precision: a 30 Hz pole at 44.1 kHz sits too close to 1 for floats.
class MasterTone {
public:
    MasterTone(float lowCut, float bass, float air, float presence = 0.0f, float body = 0.0f);
    void process(float* left, float* right, int frames);

private:
    struct Biquad {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
        double z1[2] = {}, z2[2] = {}; // transposed direct form II state, per side
        double process(double x, int side);
    };
    Biquad stages[5];
    int stageCount = 0;
};

class Chorus {
public:
    Chorus();
    // Mixes a slowly modulated copy of each side into it; `mix` 0 leaves the sound dry.
    void process(float* left, float* right, int frames, float mix);

private:
    DelayLine lineLeft, lineRight;
    float cosine = 1.0f, sine = 0.0f; // the modulation's phase as a rotating unit vector
};

} // namespace halcyra
