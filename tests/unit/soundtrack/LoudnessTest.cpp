// The meter against the signals broadcast loudness meters are checked with (EBU Tech 3341 and 3342).
#include "soundtrack/Loudness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace halcyra {
namespace {

constexpr double meterRate = 44100.0;

// `seconds` of a sine with peak level `dbfs`, appended to `signal`.
void appendSine(std::vector<float>& signal, double frequency, double dbfs, double seconds,
                double phase = 0.0) {
    const double amplitude = std::pow(10.0, dbfs / 20.0);
    const size_t frames = static_cast<size_t>(seconds * meterRate);
    for (size_t n = 0; n < frames; ++n)
        signal.push_back(
            static_cast<float>(amplitude * std::sin(6.283185307179586 * frequency * n / meterRate + phase)));
}

TEST(Loudness, StereoSineAtMinus23DbfsReadsMinus23Lufs) {
    std::vector<float> tone;
    appendSine(tone, 997.0, -23.0, 20.0);
    EXPECT_NEAR(integratedLoudness(tone, tone, 0, tone.size(), meterRate), -23.0, 0.1);
    // One channel alone carries half the power.
    const std::vector<float> silence(tone.size(), 0.0f);
    EXPECT_NEAR(integratedLoudness(tone, silence, 0, tone.size(), meterRate), -26.0, 0.1);
    EXPECT_EQ(integratedLoudness(silence, silence, 0, silence.size(), meterRate), -70.0);
}

TEST(Loudness, GatesLeaveQuietStretchesOutOfTheIntegratedLoudness) {
    // 10 s at −36 dBFS, 60 s at −23, 10 s at −36: the relative gate drops the quiet ends.
    std::vector<float> signal;
    appendSine(signal, 997.0, -36.0, 10.0);
    appendSine(signal, 997.0, -23.0, 60.0);
    appendSine(signal, 997.0, -36.0, 10.0);
    EXPECT_NEAR(integratedLoudness(signal, signal, 0, signal.size(), meterRate), -23.0, 0.1);
    // A stretch reads only its own frames.
    const size_t quietEnd = static_cast<size_t>(10.0 * meterRate);
    EXPECT_NEAR(integratedLoudness(signal, signal, 0, quietEnd, meterRate), -36.0, 0.1);
}

TEST(Loudness, RangeOfTwoLevelsIsTheirDifference) {
    std::vector<float> signal;
    appendSine(signal, 1000.0, -20.0, 20.0);
    appendSine(signal, 1000.0, -30.0, 20.0);
    const LoudnessRange range = loudnessRange(signal, signal, meterRate);
    EXPECT_NEAR(range.range(), 10.0, 1.0);
    EXPECT_NEAR(range.high, -20.0, 0.2);
}

TEST(Loudness, TruePeakFindsThePeakBetweenFrames) {
    // A quarter of the sample rate at 45°: every frame sits at 0.707 of the peak, which lies between them.
    std::vector<float> tone;
    appendSine(tone, meterRate / 4.0, -6.0, 1.0, 3.14159265358979 / 4.0);
    float framePeak = 0.0f;
    for (float x : tone)
        framePeak = std::max(framePeak, std::fabs(x));
    EXPECT_NEAR(20.0 * std::log10(framePeak), -9.0, 0.1);
    // The meter's interpolation filter reads a tenth of a decibel high here, within a true-peak meter's
    // tolerance.
    EXPECT_NEAR(truePeakDb(tone, tone), -6.0, 0.2);
}

TEST(Loudness, BandsSeparateLowMiddleAndHigh) {
    std::vector<float> low, high;
    appendSine(low, 50.0, -10.0, 2.0);
    appendSine(high, 6000.0, -10.0, 2.0);
    const size_t end = low.size();
    const double sineRms = -10.0 - 3.01;
    EXPECT_NEAR(bandLevelDb(low, low, 0, end, meterRate, 0.0, 100.0), sineRms, 0.5);
    EXPECT_LT(bandLevelDb(low, low, 0, end, meterRate, 2000.0, 0.0), sineRms - 40.0);
    EXPECT_NEAR(bandLevelDb(high, high, 0, end, meterRate, 2000.0, 0.0), sineRms, 0.5);
    EXPECT_LT(bandLevelDb(high, high, 0, end, meterRate, 100.0, 2000.0), sineRms - 8.0);
    EXPECT_LT(bandLevelDb(high, high, 0, end, meterRate, 0.0, 100.0), sineRms - 60.0);
}

} // namespace
} // namespace halcyra
