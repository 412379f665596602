#include "soundtrack/Effects.h"
#include "soundtrack/Envelope.h"
#include "soundtrack/Instrument.h"
#include "soundtrack/Limiter.h"
#include "soundtrack/Loudness.h"
#include "soundtrack/Oscillator.h"
#include "soundtrack/StateVariableFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace halcyra {
namespace {

// Power of `signal` at `frequency` relative to a full-scale sine there (Goertzel).
double powerAt(const std::vector<float>& signal, double frequency) {
    const double coefficient = 2.0 * std::cos(2.0 * 3.14159265358979 * frequency / sampleRateHz);
    double s1 = 0.0, s2 = 0.0;
    for (float x : signal) {
        const double s = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double n = static_cast<double>(signal.size());
    return (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / (n * n / 4.0);
}

double decibels(double power) {
    return 10.0 * std::log10(std::max(power, 1.0e-30));
}

double rmsDb(const std::vector<float>& signal, size_t begin, size_t end) {
    double energy = 0.0;
    for (size_t i = begin; i < end; ++i)
        energy += static_cast<double>(signal[i]) * signal[i];
    return decibels(energy / static_cast<double>(end - begin));
}

TEST(Oscillator, SawAndSquareKeepTheirAliasesFarBelowTheTone) {
    // At 4 kHz the 10th and 11th harmonics fold back to 4.1 kHz and 100 Hz; a plain saw has them at
    // about −20 dB.
    constexpr float frequency = 4000.0f;
    for (Waveform shape : {Waveform::Saw, Waveform::Square}) {
        Oscillator oscillator;
        std::vector<float> signal(44100);
        for (float& x : signal)
            x = oscillator.next(shape, frequency / sampleRateHz);
        const double tone = powerAt(signal, frequency);
        EXPECT_LT(decibels(powerAt(signal, 100.0) / tone), -60.0);
        if (shape == Waveform::Saw) {
            EXPECT_LT(decibels(powerAt(signal, 4100.0) / tone), -50.0);
        }
    }
}

TEST(StateVariableFilter, LowpassPassesBelowItsCutoffAndCutsAbove) {
    auto gainAt = [](float frequency) {
        StateVariableFilter filter;
        filter.setup(1000.0f, 0.0f, sampleRateHz);
        Oscillator sine;
        double peak = 0.0;
        for (int i = 0; i < 44100; ++i) {
            const float y = filter.lowpass(sine.next(Waveform::Sine, frequency / sampleRateHz));
            if (i > 22050)
                peak = std::max(peak, static_cast<double>(std::fabs(y)));
        }
        return 20.0 * std::log10(peak);
    };
    EXPECT_NEAR(gainAt(100.0f), 0.0, 0.5);
    EXPECT_LT(gainAt(10000.0f), -35.0); // two poles: 12 dB an octave
}

TEST(StateVariableFilter, StaysStableWhileItsCutoffJumpsAtFullResonance) {
    StateVariableFilter filter;
    Noise noise(7);
    float worst = 0.0f;
    for (int block = 0; block < 20000; ++block) {
        // Jumps across the whole range every 16 samples, as envelopes and curves may.
        filter.setup(block % 2 == 0 ? 20.0f : 19000.0f, 1.0f, sampleRateHz);
        for (int i = 0; i < 16; ++i)
            worst = std::max(worst, std::fabs(filter.lowpass(noise.next())));
    }
    EXPECT_TRUE(std::isfinite(worst));
    EXPECT_LT(worst, 100.0f);
}

TEST(Envelope, RisesDecaysToSustainAndReleasesToSilenceWithoutJumps) {
    Envelope envelope;
    envelope.setup(0.01f, 0.1f, 0.5f, 0.2f, sampleRateHz);
    envelope.gateOn();
    std::vector<float> levels;
    for (int i = 0; i < 22050; ++i)
        levels.push_back(envelope.next());
    EXPECT_FLOAT_EQ(*std::max_element(levels.begin(), levels.end()), 1.0f);
    EXPECT_NEAR(levels[440], 1.0f, 0.01f); // the attack takes 10 ms
    EXPECT_NEAR(levels.back(), 0.5f, 0.001f);
    envelope.gateOff();
    for (int i = 0; i < 4410; ++i)
        levels.push_back(envelope.next());
    envelope.gateOn(); // a new note during the release starts from where the level stands
    for (int i = 0; i < 4410; ++i)
        levels.push_back(envelope.next());
    float largestStep = 0.0f;
    for (size_t i = 1; i < levels.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(levels[i] - levels[i - 1]));
    EXPECT_LT(largestStep, 1.0f / 441.0f + 1.0e-6f);
    envelope.gateOff();
    for (int i = 0; i < 11025 && envelope.active(); ++i)
        envelope.next();
    EXPECT_FALSE(envelope.active()); // a 0.2 s release is over well within 0.25 s
}

TEST(Limiter, KeepsEverySampleUnderTheCeilingAndLeavesQuietMusicAlone) {
    std::vector<float> left(88200), right(88200);
    Noise noise(3);
    for (size_t i = 0; i < left.size(); ++i) {
        const float loud = i < 22050 ? 2.5f : 0.1f; // 8 dB over the ceiling, then quiet
        left[i] = loud * noise.next();
        right[i] = loud * noise.next();
    }
    const std::vector<float> quietLeft(left.begin() + 66150, left.end());
    const float ceiling = 0.89125094f; // −1 dBFS
    limit(left, right, ceiling, 176, 0.1f);
    float peak = 0.0f;
    for (size_t i = 0; i < left.size(); ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    EXPECT_LE(peak, ceiling);
    // Limited, not merely turned down: noise peaks between its frames, so it is those that reach the ceiling.
    EXPECT_GT(truePeakDb(left, right), 20.0 * std::log10(ceiling) - 0.3);
    // A second after the loud part the gain is back to 1 (to a hair).
    for (size_t i = 0; i < quietLeft.size(); ++i)
        ASSERT_NEAR(left[66150 + i], quietLeft[i], 1.0e-4f) << i;
}

TEST(Limiter, HoldsThePeaksBetweenFramesUnderTheCeilingToo) {
    // A quarter of the sample rate at 45°: the frames stand at 0.71, under the ceiling, while the wave a
    // decoder rebuilds between them reaches 1.0.
    std::vector<float> left(44100), right(44100);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = right[i] = std::sin(1.5707963f * static_cast<float>(i) + 0.7853982f);
    const float ceiling = 0.89125094f;
    limit(left, right, ceiling, 176, 0.1f);
    // The meter reads this wave a tenth of a decibel high (its interpolation filter; see LoudnessTest).
    EXPECT_LE(truePeakDb(left, right), 20.0 * std::log10(ceiling) + 0.2);
    EXPECT_GT(truePeakDb(left, right), 20.0 * std::log10(ceiling) - 0.5);
}

TEST(Limiter, FedInPiecesGivesTheSameSamplesAsAtOnce) {
    std::vector<float> left(30000), right(30000);
    Noise noise(9);
    for (size_t i = 0; i < left.size(); ++i) {
        const float loud = (i / 3000) % 2 == 0 ? 2.0f : 0.2f;
        left[i] = loud * noise.next();
        right[i] = loud * noise.next();
    }
    std::vector<float> wholeLeft = left, wholeRight = right;
    limit(wholeLeft, wholeRight, 0.8f, 176, 0.1f);

    // Frames arrive in uneven pieces; what the limiter calls final never changes afterwards.
    std::vector<float> streamLeft(left.size(), 0.0f), streamRight(right.size(), 0.0f);
    Limiter limiter(streamLeft, streamRight, 0.8f, 176, 0.1f);
    size_t written = 0, finished = 0;
    for (size_t piece : {1u, 63u, 500u, 4096u, 7u, 10000u, 30000u}) {
        const size_t upTo = std::min(left.size(), written + piece);
        std::copy(left.begin() + written, left.begin() + upTo, streamLeft.begin() + written);
        std::copy(right.begin() + written, right.begin() + upTo, streamRight.begin() + written);
        written = upTo;
        const size_t nowFinal = limiter.advance(written);
        ASSERT_GE(nowFinal, finished);
        for (size_t n = finished; n < nowFinal; ++n)
            ASSERT_EQ(streamLeft[n], wholeLeft[n]) << n;
        finished = nowFinal;
        EXPECT_LE(written - finished, 176u + 16u); // behind by the look-ahead and the interpolator's reach
    }
    EXPECT_EQ(finished, left.size());
    EXPECT_EQ(streamRight, wholeRight);
}

// Renders `instrument` playing `notes` for `heldFrames`, then released for `tailFrames`; left channel.
std::vector<float> play(Instrument& instrument, const std::vector<int>& notes, int heldFrames,
                        int tailFrames) {
    std::vector<float> left(static_cast<size_t>(heldFrames + tailFrames)), right(left.size());
    instrument.play(notes, 1.0f, false);
    instrument.render(left.data(), right.data(), heldFrames);
    instrument.release();
    instrument.render(left.data() + heldFrames, right.data() + heldFrames, tailFrames);
    return left;
}

TEST(Instrument, EveryKindSoundsStaysBoundedAndFallsSilentAfterItsNote) {
    const InstrumentKind kinds[] = {InstrumentKind::Kick,  InstrumentKind::Snare,  InstrumentKind::Clap,
                                    InstrumentKind::Hat,   InstrumentKind::Cymbal, InstrumentKind::Boom,
                                    InstrumentKind::Tom,   InstrumentKind::Bass,   InstrumentKind::Pad,
                                    InstrumentKind::Pluck, InstrumentKind::Lead,   InstrumentKind::Riser,
                                    InstrumentKind::Voice};
    for (InstrumentKind kind : kinds) {
        auto instrument = makeInstrument(kind, Tone{}, 11);
        ASSERT_NE(instrument, nullptr);
        const std::vector<float> sound = play(*instrument, {45, 52, 57, 60}, 44100, 8 * 44100);
        float peak = 0.0f;
        for (float x : sound) {
            ASSERT_TRUE(std::isfinite(x));
            peak = std::max(peak, std::fabs(x));
        }
        EXPECT_GT(peak, 0.05f) << "kind " << static_cast<int>(kind);
        EXPECT_LT(peak, 4.0f) << "kind " << static_cast<int>(kind);
        EXPECT_LT(rmsDb(sound, sound.size() - 4410, sound.size()), -90.0)
            << "kind " << static_cast<int>(kind);
    }
}

TEST(Instrument, KickStartsOnItsFrameAndFallsInPitch) {
    auto kick = makeInstrument(InstrumentKind::Kick, Tone{}, 1);
    std::vector<float> silence(100), left(8820), right(8820);
    kick->render(silence.data(), silence.data(), 100);
    EXPECT_EQ(*std::max_element(silence.begin(), silence.end()), 0.0f);
    kick->play({60}, 1.0f, false);
    kick->render(left.data(), right.data(), static_cast<int>(left.size()));
    EXPECT_GT(std::fabs(left[2]), 0.01f); // audible within three frames of the hit
    // The gaps between zero crossings widen as the pitch envelope falls towards the base pitch.
    std::vector<int> crossings;
    for (size_t i = 1; i < left.size(); ++i) {
        if ((left[i - 1] < 0.0f) != (left[i] < 0.0f))
            crossings.push_back(static_cast<int>(i));
    }
    ASSERT_GE(crossings.size(), 6u);
    EXPECT_LT(crossings[1] - crossings[0], crossings[5] - crossings[4]);
    // By 150 ms it has settled on its base pitch, 47 Hz.
    const auto settled = std::find_if(crossings.begin(), crossings.end(), [](int at) { return at > 6615; });
    ASSERT_LT(settled + 1, crossings.end());
    EXPECT_NEAR(44100.0 / (2.0 * (*(settled + 1) - *settled)), 47.0, 3.0);
}

TEST(Instrument, TomPlaysItsNoteAsFarFromItsPitchAsTheNoteIsFromC4) {
    // Past the strike's pitch sweep, C3 sounds an octave under the hit (C4): half the zero crossings.
    const auto crossings = [](int note) {
        auto tom = makeInstrument(InstrumentKind::Tom, Tone{}, 1);
        std::vector<float> left(13230), right(13230);
        tom->play({note}, 1.0f, false);
        tom->render(left.data(), right.data(), static_cast<int>(left.size()));
        int count = 0;
        for (size_t i = 4411; i < left.size(); ++i)
            count += (left[i - 1] < 0.0f) != (left[i] < 0.0f) ? 1 : 0;
        return count;
    };
    const int high = crossings(60), low = crossings(48);
    EXPECT_NEAR(static_cast<double>(high) / low, 2.0, 0.1);
    EXPECT_NEAR(high / 2.0 / 0.2, 110.0, 6.0); // the default pitch, 110 Hz
}

TEST(Instrument, VoiceSingsTheVowelItIsGiven) {
    // A3 (220 Hz): "ah" has its first two formants round 800 and 1150 Hz, "ee" its second near 2140 Hz.
    // The fourth harmonic (880 Hz) leads in "ah"; in "ee" the tenth (2200 Hz) stands far higher against it.
    const auto tilt = [](float vowel) {
        Tone tone;
        tone.vowel = vowel;
        tone.envmod = 0.0f;
        auto voice = makeInstrument(InstrumentKind::Voice, tone, 1);
        const std::vector<float> sound = play(*voice, {57}, 44100, 0);
        const std::vector<float> held(sound.begin() + 8820, sound.end());
        return decibels(powerAt(held, 2200.0) / powerAt(held, 880.0));
    };
    const double ah = tilt(2.0f), ee = tilt(4.0f);
    EXPECT_LT(ah, -15.0);
    EXPECT_GT(ee, ah + 15.0);
}

TEST(Instrument, ChordOnAPadReleasesTheChordBefore) {
    Tone tone;
    tone.release = 0.05f;
    auto pad = makeInstrument(InstrumentKind::Pad, tone, 1);
    std::vector<float> left(44100), right(44100);
    pad->play({45}, 1.0f, false);
    pad->render(left.data(), right.data(), 22050);
    pad->play({69}, 1.0f, false); // two octaves up; A2 must be gone after its 50 ms release
    pad->render(left.data() + 22050, right.data() + 22050, 22050);
    const std::vector<float> late(left.begin() + 33075, left.end());
    EXPECT_LT(powerAt(late, 110.0), 1.0e-3 * powerAt(late, 440.0));
}

TEST(Effects, DelayEchoesOnItsTimeAlternatingSides) {
    PingPongDelay delay(1000, 0.5f);
    std::vector<float> input(4000, 0.0f), left(4000, 0.0f), right(4000, 0.0f);
    input[0] = 1.0f;
    delay.process(input.data(), left.data(), right.data(), 4000);
    const auto loudest = [](const std::vector<float>& x, size_t from, size_t to) {
        return static_cast<size_t>(
            std::max_element(x.begin() + from, x.begin() + to,
                             [](float a, float b) { return std::fabs(a) < std::fabs(b); }) -
            x.begin());
    };
    EXPECT_EQ(loudest(left, 0, 1500), 1000u);
    EXPECT_NEAR(loudest(right, 1500, 2500), 2000u,
                3u); // the repeat's tone filters smear it by a frame or two
    EXPECT_LT(std::fabs(right[1000]), 1.0e-6f);
}

TEST(Effects, MasterToneCutsRumbleShelvesTheBassAndLiftsThePresenceAndTheAir) {
    const auto gainAt = [](float frequency, float lowCut, float bass, float air, float presence = 0.0f,
                           float body = 0.0f) {
        MasterTone tone(lowCut, bass, air, presence, body);
        std::vector<float> left(44100), right(44100);
        for (size_t i = 0; i < left.size(); ++i)
            left[i] = right[i] =
                0.5f * std::sin(6.2831853f * frequency * static_cast<float>(i) / sampleRateHz);
        tone.process(left.data(), right.data(), static_cast<int>(left.size()));
        return rmsDb(left, 22050, 44100) - rmsDb(std::vector<float>(22050, 0.5f / 1.41421356f), 0, 22050);
    };
    EXPECT_NEAR(gainAt(1000.0f, 0.0f, 0.0f, 0.0f), 0.0, 0.01); // nothing asked, nothing done
    EXPECT_LT(gainAt(10.0f, 30.0f, 0.0f, 0.0f), -15.0);
    EXPECT_NEAR(gainAt(1000.0f, 30.0f, -3.0f, 4.0f), 0.0, 0.3);
    EXPECT_NEAR(gainAt(40.0f, 0.0f, -3.0f, 0.0f), -3.0, 0.3);
    EXPECT_NEAR(gainAt(15000.0f, 0.0f, 0.0f, 4.0f), 4.0, 0.3);
    // The presence bell lifts round 4 kHz and leaves the body and the top nearly alone.
    EXPECT_NEAR(gainAt(4000.0f, 0.0f, 0.0f, 0.0f, 3.0f), 3.0, 0.3);
    EXPECT_LT(gainAt(500.0f, 0.0f, 0.0f, 0.0f, 3.0f), 0.5);
    EXPECT_LT(gainAt(16000.0f, 0.0f, 0.0f, 0.0f, 3.0f), 0.8);
    // The body bell takes out round 250 Hz, not the bass's fundamentals or the middle.
    EXPECT_NEAR(gainAt(250.0f, 0.0f, 0.0f, 0.0f, 0.0f, -3.0f), -3.0, 0.3);
    EXPECT_GT(gainAt(50.0f, 0.0f, 0.0f, 0.0f, 0.0f, -3.0f), -0.6);
    EXPECT_GT(gainAt(1500.0f, 0.0f, 0.0f, 0.0f, 0.0f, -3.0f), -0.6);
}

TEST(Effects, ReverbTailFadesByAboutSixtyDecibelsInItsDecayTime) {
    Reverb reverb(1.0f);
    std::vector<float> input(3 * 44100, 0.0f), left(input.size(), 0.0f), right(input.size(), 0.0f);
    Noise noise(5);
    for (int i = 0; i < 441; ++i)
        input[static_cast<size_t>(i)] = noise.next();
    reverb.process(input.data(), left.data(), right.data(), static_cast<int>(input.size()));
    const double early = rmsDb(left, 4410, 8820);
    const double later = rmsDb(left, 48510, 52920); // one second on
    EXPECT_GT(early, -40.0);
    EXPECT_NEAR(early - later, 60.0, 15.0);
    EXPECT_LT(rmsDb(left, input.size() - 4410, input.size()), early - 100.0);
}

} // namespace
} // namespace halcyra
