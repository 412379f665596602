#include "soundtrack/Effects.h"

#include "soundtrack/Song.h"

#include <cmath>

namespace halcyra {
namespace {

float onePoleCoefficient(float cutoff) {
    return std::exp(-6.2831853f * cutoff / sampleRateHz);
}

// Mutually prime lengths (33 to 64 ms) so the echoes of the network never line up.
constexpr size_t lineLengths[8] = {1447, 1613, 1867, 2053, 2251, 2399, 2617, 2797};
constexpr size_t diffuserLengths[4] = {142, 107, 379, 277};
constexpr float diffuserGain = 0.7f;
constexpr size_t predelayFrames = static_cast<size_t>(0.022f * sampleRateHz);

} // namespace

void DelayLine::resize(size_t minimumLength) {
    size_t length = 1;
    while (length < minimumLength + 2)
        length <<= 1;
    buffer.assign(length, 0.0f);
    mask = length - 1;
    write = 0;
}

float DelayLine::readFractional(float delay) const {
    const float whole = std::floor(delay);
    const float fraction = delay - whole;
    const size_t index = static_cast<size_t>(whole);
    return read(index) + fraction * (read(index + 1) - read(index));
}

Reverb::Reverb(float decaySeconds) {
    predelay.resize(predelayFrames);
    for (int i = 0; i < 4; ++i)
        diffusers[i].resize(diffuserLengths[i]);
    for (int i = 0; i < lineCount; ++i) {
        lines[i].resize(lineLengths[i]);
        gains[i] =
            std::pow(10.0f, -3.0f * static_cast<float>(lineLengths[i]) / (decaySeconds * sampleRateHz));
    }
}

void Reverb::process(const float* input, float* left, float* right, int frames) {
    // The send is band-limited to 200 Hz … 8 kHz so the tail neither booms nor hisses.
    const float treble = onePoleCoefficient(8000.0f), bass = onePoleCoefficient(200.0f);
    const float damp = onePoleCoefficient(5200.0f);
    for (int n = 0; n < frames; ++n) {
        inputSmooth = input[n] + treble * (inputSmooth - input[n]);
        inputBass = inputSmooth + bass * (inputBass - inputSmooth);
        predelay.push(inputSmooth - inputBass);
        float x = predelay.read(predelayFrames);
        for (int i = 0; i < 4; ++i) {
            const float delayed = diffusers[i].read(diffuserLengths[i]);
            const float v = x + diffuserGain * delayed;
            x = delayed - diffuserGain * v;
            diffusers[i].push(v);
        }
        float outputs[lineCount];
        float sum = 0.0f;
        for (int i = 0; i < lineCount; ++i) {
            const float out = lines[i].read(lineLengths[i]);
            damping[i] = out + damp * (damping[i] - out);
            outputs[i] = damping[i];
            sum += damping[i];
        }
        // Householder feedback: every line hears every other, energy is kept.
        const float spread = sum * (2.0f / lineCount);
        float wetLeft = 0.0f, wetRight = 0.0f;
        for (int i = 0; i < lineCount; ++i) {
            const float sign = (i & 2) != 0 ? -1.0f : 1.0f;
            lines[i].push(sign * x + gains[i] * (outputs[i] - spread));
            if ((i & 1) == 0)
                wetLeft += sign * outputs[i];
            else
                wetRight += sign * outputs[i];
        }
        left[n] += 0.35f * wetLeft;
        right[n] += 0.35f * wetRight;
    }
}

PingPongDelay::PingPongDelay(int delay, float feedbackGain) : delayFrames(delay), feedback(feedbackGain) {
    lineLeft.resize(static_cast<size_t>(delay));
    lineRight.resize(static_cast<size_t>(delay));
}

void PingPongDelay::process(const float* input, float* left, float* right, int frames) {
    const float treble = onePoleCoefficient(3200.0f), bass = onePoleCoefficient(250.0f);
    const size_t delay = static_cast<size_t>(delayFrames);
    for (int n = 0; n < frames; ++n) {
        const float fromLeft = lineLeft.read(delay);
        const float fromRight = lineRight.read(delay);
        // Each repeat loses highs and lows, as tape echoes do, so the tail melts into the mix.
        smoothLeft = fromLeft + treble * (smoothLeft - fromLeft);
        bassLeft = smoothLeft + bass * (bassLeft - smoothLeft);
        smoothRight = fromRight + treble * (smoothRight - fromRight);
        bassRight = smoothRight + bass * (bassRight - smoothRight);
        lineLeft.push(input[n] + feedback * (smoothRight - bassRight));
        lineRight.push(feedback * (smoothLeft - bassLeft));
        left[n] += 0.7f * fromLeft;
        right[n] += 0.7f * fromRight;
    }
}

MasterTone::MasterTone(float lowCut, float bass, float air, float presence, float body) {
    constexpr double pi = 3.14159265358979323846;
    constexpr double rateD = static_cast<double>(sampleRate);
    if (lowCut > 0.0f) {
        const double w = 2.0 * pi * lowCut / rateD, alpha = std::sin(w) / (2.0 * 0.7071067811865476);
        const double c = std::cos(w), a0 = 1.0 + alpha;
        Biquad& hp = stages[stageCount++];
        hp.b0 = (1.0 + c) / 2.0 / a0;
        hp.b1 = -(1.0 + c) / a0;
        hp.b2 = hp.b0;
        hp.a1 = -2.0 * c / a0;
        hp.a2 = (1.0 - alpha) / a0;
    }
    // Shelves of slope 1 (the audio-EQ cookbook's), as a mastering EQ has them.
    const auto shelf = [&](double frequency, double gainDb, bool high) {
        const double a = std::pow(10.0, gainDb / 40.0), w = 2.0 * pi * frequency / rateD;
        const double c = std::cos(w), alpha = std::sin(w) / 2.0 * std::sqrt(2.0);
        const double root = 2.0 * std::sqrt(a) * alpha, sign = high ? 1.0 : -1.0;
        const double a0 = (a + 1.0) - sign * (a - 1.0) * c + root;
        Biquad& s = stages[stageCount++];
        s.b0 = a * ((a + 1.0) + sign * (a - 1.0) * c + root) / a0;
        s.b1 = -2.0 * sign * a * ((a - 1.0) + sign * (a + 1.0) * c) / a0;
        s.b2 = a * ((a + 1.0) + sign * (a - 1.0) * c - root) / a0;
        s.a1 = 2.0 * sign * ((a - 1.0) - sign * (a + 1.0) * c) / a0;
        s.a2 = ((a + 1.0) - sign * (a - 1.0) * c - root) / a0;
    };
    // Peaking bells (the cookbook's) of quality `q`: 0.8 to 0.9 is about an octave and a half wide.
    const auto bell = [&](double frequency, double gainDb, double q) {
        const double a = std::pow(10.0, gainDb / 40.0), w = 2.0 * pi * frequency / rateD;
        const double alpha = std::sin(w) / (2.0 * q), a0 = 1.0 + alpha / a;
        Biquad& b = stages[stageCount++];
        b.b0 = (1.0 + alpha * a) / a0;
        b.b1 = -2.0 * std::cos(w) / a0;
        b.b2 = (1.0 - alpha * a) / a0;
        b.a1 = b.b1;
        b.a2 = (1.0 - alpha / a) / a0;
    };
    if (bass != 0.0f)
        shelf(110.0, bass, false);
    // The body bell sits where the bass's harmonics, the kick's sweep and the pads' lower voices pile up.
    if (body != 0.0f)
        bell(250.0, body, 0.8);
    // The presence bell fills the range where the lead and the snare's crack speak, between the mix's body
    // and the air.
    if (presence != 0.0f)
        bell(4000.0, presence, 0.9);
    if (air != 0.0f)
        shelf(6000.0, air, true);
}

double MasterTone::Biquad::process(double x, int side) {
    const double y = b0 * x + z1[side];
    z1[side] = b1 * x - a1 * y + z2[side];
    z2[side] = b2 * x - a2 * y;
    return y;
}

void MasterTone::process(float* left, float* right, int frames) {
    for (int s = 0; s < stageCount; ++s) {
        for (int n = 0; n < frames; ++n) {
            left[n] = static_cast<float>(stages[s].process(left[n], 0));
            right[n] = static_cast<float>(stages[s].process(right[n], 1));
        }
    }
}

Chorus::Chorus() {
    lineLeft.resize(static_cast<size_t>(0.03f * sampleRateHz));
    lineRight.resize(static_cast<size_t>(0.03f * sampleRateHz));
}

void Chorus::process(float* left, float* right, int frames, float mix) {
    constexpr float centre = 0.012f * sampleRateHz, depth = 0.004f * sampleRateHz;
    const float step = 6.2831853f * 0.23f / sampleRateHz;
    const float stepCos = std::cos(step), stepSin = std::sin(step);
    for (int n = 0; n < frames; ++n) {
        lineLeft.push(left[n]);
        lineRight.push(right[n]);
        const float wetLeft = lineLeft.readFractional(centre + depth * sine);
        const float wetRight = lineRight.readFractional(centre + depth * cosine);
        left[n] = (1.0f - 0.5f * mix) * left[n] + mix * wetLeft;
        right[n] = (1.0f - 0.5f * mix) * right[n] + mix * wetRight;
        const float nextCosine = cosine * stepCos - sine * stepSin;
        sine = sine * stepCos + cosine * stepSin;
        cosine = nextCosine;
    }
    // Rounding would slowly change the modulation's depth; put the vector back on the unit circle.
    const float length = std::sqrt(cosine * cosine + sine * sine);
    cosine /= length;
    sine /= length;
}

} // namespace halcyra
