#include "soundtrack/Envelope.h"
#include "soundtrack/Instrument.h"
#include "soundtrack/Oscillator.h"
#include "soundtrack/StateVariableFilter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace halcyra {
namespace {

// Filters and modulation follow their envelopes at this many frames a step (0.36 ms).
constexpr int controlFrames = 16;

float centsRatio(float cents) {
    return std::exp2(cents / 1200.0f);
}

// Settings every tonal voice reads, with the instrument kind's own values where the song gives none.
struct VoiceSettings {
    VoiceSettings(const Tone& tone, const VoiceSettings& defaults)
        : attack(tone.attack.value_or(defaults.attack)), decay(tone.decay.value_or(defaults.decay)),
          sustain(tone.sustain.value_or(defaults.sustain)), release(tone.release.value_or(defaults.release)),
          resonance(tone.resonance.value_or(defaults.resonance)),
          envmod(tone.envmod.value_or(defaults.envmod)), detune(tone.detune.value_or(defaults.detune)),
          glide(tone.glide.value_or(defaults.glide)), vowel(tone.vowel.value_or(defaults.vowel)) {}
    VoiceSettings(float a, float d, float s, float r, float res, float env, float det, float gl,
                  float vw = 2.0f)
        : attack(a), decay(d), sustain(s), release(r), resonance(res), envmod(env), detune(det), glide(gl),
          vowel(vw) {}

    float attack, decay, sustain, release, resonance, envmod, detune, glide, vowel;
};

// State shared by the tonal voices: pitch with optional glide, amplitude and filter envelopes.
struct VoiceCore {
    int note = -1;
    float velocity = 0.0f;
    float frequency = 0.0f;
    float target = 0.0f;
    float glideCoefficient = 0.0f;
    int age = 0;
    Envelope amplitude, filter;

    void start(const VoiceSettings& settings, int newNote, float newVelocity, bool glide, float filterDecay) {
        const bool slide = glide && amplitude.active() && settings.glide > 0.0f;
        note = newNote;
        velocity = newVelocity;
        target = noteFrequency(static_cast<float>(newNote));
        if (!slide)
            frequency = target;
        glideCoefficient = slide ? std::exp(-3.0f / (settings.glide * sampleRateHz)) : 0.0f;
        age = 0;
        amplitude.setup(settings.attack, settings.decay, settings.sustain, settings.release, sampleRateHz);
        filter.setup(0.001f, filterDecay, 0.0f, settings.release, sampleRateHz);
        amplitude.gateOn();
        filter.gateOn();
    }

    void release() {
        amplitude.gateOff();
        filter.gateOff();
    }

    float glideStep() { return frequency = target + glideCoefficient * (frequency - target); }
};

// Bass: two detuned saws through a resonant low-pass that snaps open on every note and a little drive, which
// lets the bass line speak on small speakers, over a sine at the fundamental for weight.
struct BassVoice {
    static constexpr float defaultCutoff = 320.0f;
    static VoiceSettings defaults() { return {0.003f, 0.22f, 0.6f, 0.1f, 0.3f, 2.6f, 9.0f, 0.06f}; }

    VoiceCore core;
    Oscillator sawDown, sawUp, sub;
    StateVariableFilter lowpass;

    void start(const VoiceSettings& settings, int note, float velocity, bool glide) {
        core.start(settings, note, velocity, glide, settings.decay);
    }

    void render(const VoiceSettings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        const float down = centsRatio(-settings.detune), up = centsRatio(settings.detune);
        for (int start = 0; start < frames; start += controlFrames) {
            const int end = std::min(frames, start + controlFrames);
            const float opening = settings.envmod * core.filter.value() * (0.4f + 0.6f * core.velocity);
            lowpass.setup(cutoff * std::exp2(opening), settings.resonance, sampleRateHz);
            for (int i = start; i < end; ++i) {
                const float increment = core.glideStep() / sampleRateHz;
                const float saws = 0.5f * (sawDown.next(Waveform::Saw, increment * down) +
                                           sawUp.next(Waveform::Saw, increment * up));
                const float value =
                    softClip(1.4f * lowpass.lowpass(saws)) + 0.32f * sub.next(Waveform::Sine, increment);
                const float out = 0.7f * core.velocity * core.amplitude.next() * value;
                core.filter.next();
                left[i] += out;
                right[i] += out;
            }
        }
        core.age += frames;
    }
};

// Pad: three saws a few cents apart, the outer two on their own sides and the middle one shared a little, so
// the chord fills the width of the room; each side through its own low-pass that opens a little with the
// swell. Above the filter a little of the saws' own top end comes through (high-passed at 4 kHz, more of it
// the brighter the filter stands): air that a low-pass alone would take.
struct PadVoice {
    static constexpr float defaultCutoff = 1800.0f;
    static VoiceSettings defaults() { return {0.7f, 1.6f, 0.75f, 2.0f, 0.15f, 0.6f, 13.0f, 0.0f}; }

    VoiceCore core;
    std::array<Oscillator, 3> saws;
    StateVariableFilter filterLeft, filterRight;
    OnePole airLeft, airRight;

    void start(const VoiceSettings& settings, int note, float velocity, bool glide) {
        // Phases that differ per note keep a chord's voices from starting in step.
        for (size_t i = 0; i < saws.size(); ++i)
            saws[i].reset(std::fmod(0.137f * static_cast<float>(note) + 0.31f * static_cast<float>(i), 1.0f));
        airLeft.setup(4000.0f, sampleRateHz);
        airRight.setup(4000.0f, sampleRateHz);
        core.start(settings, note, velocity, glide, settings.decay);
    }

    void render(const VoiceSettings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        const float ratios[3] = {centsRatio(-settings.detune), 1.0f, centsRatio(settings.detune)};
        // The pad's filter follows its slow swell; four control steps' worth of frames is close enough.
        for (int start = 0; start < frames; start += 4 * controlFrames) {
            const int end = std::min(frames, start + 4 * controlFrames);
            const float bright = cutoff * std::exp2(settings.envmod * core.amplitude.value());
            filterLeft.setup(bright, settings.resonance, sampleRateHz);
            filterRight.setup(bright * 1.03f, settings.resonance, sampleRateHz);
            const float air = 0.45f * std::clamp(bright / 6000.0f, 0.0f, 1.0f);
            for (int i = start; i < end; ++i) {
                const float increment = core.glideStep() / sampleRateHz;
                const float a = saws[0].next(Waveform::Saw, increment * ratios[0]);
                const float b = saws[1].next(Waveform::Saw, increment * ratios[1]);
                const float c = saws[2].next(Waveform::Saw, increment * ratios[2]);
                const float level = 0.2f * core.velocity * core.amplitude.next();
                const float sideLeft = a + 0.3f * b, sideRight = c + 0.3f * b;
                left[i] += level * (filterLeft.lowpass(sideLeft) + air * airLeft.highpass(sideLeft));
                right[i] += level * (filterRight.lowpass(sideRight) + air * airRight.highpass(sideRight));
            }
        }
        core.age += frames;
    }
};

// Pluck: a saw and a square through a low-pass whose envelope closes fast; arpeggios and chord stabs.
struct PluckVoice {
    static constexpr float defaultCutoff = 600.0f;
    static VoiceSettings defaults() { return {0.001f, 0.28f, 0.0f, 0.3f, 0.35f, 3.6f, 8.0f, 0.0f}; }

    VoiceCore core;
    Oscillator saw, square;
    StateVariableFilter lowpass;

    void start(const VoiceSettings& settings, int note, float velocity, bool glide) {
        core.start(settings, note, velocity, glide, settings.decay * 0.6f);
    }

    void render(const VoiceSettings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        const float down = centsRatio(-settings.detune), up = centsRatio(settings.detune);
        for (int start = 0; start < frames; start += controlFrames) {
            const int end = std::min(frames, start + controlFrames);
            const float opening = settings.envmod * core.filter.value() * (0.5f + 0.5f * core.velocity);
            lowpass.setup(cutoff * std::exp2(opening), settings.resonance, sampleRateHz);
            for (int i = start; i < end; ++i) {
                const float increment = core.glideStep() / sampleRateHz;
                const float source = saw.next(Waveform::Saw, increment * down) +
                                     0.6f * square.next(Waveform::Square, increment * up);
                const float out = 0.4f * core.velocity * core.amplitude.next() * lowpass.lowpass(source);
                core.filter.next();
                left[i] += out;
                right[i] += out;
            }
        }
        core.age += frames;
    }
};

// Lead: two saws spread left and right over a square an octave down in the middle, so the theme stands wide
// on a firm centre, with glide and a vibrato that fades in on held notes; like the pad, a little unfiltered
// top end gives it air.
struct LeadVoice {
    static constexpr float defaultCutoff = 2200.0f;
    static VoiceSettings defaults() { return {0.006f, 0.45f, 0.7f, 0.5f, 0.3f, 1.4f, 11.0f, 0.07f}; }

    VoiceCore core;
    Oscillator sawLeft, sawRight, square, vibrato;
    StateVariableFilter filterLeft, filterRight;
    OnePole airLeft, airRight;

    void start(const VoiceSettings& settings, int note, float velocity, bool glide) {
        airLeft.setup(4000.0f, sampleRateHz);
        airRight.setup(4000.0f, sampleRateHz);
        core.start(settings, note, velocity, glide, settings.decay);
    }

    void render(const VoiceSettings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        const float down = centsRatio(-settings.detune), up = centsRatio(settings.detune);
        constexpr float vibratoDelay = 0.25f * sampleRateHz, vibratoRamp = 0.5f * sampleRateHz;
        for (int start = 0; start < frames; start += controlFrames) {
            const int end = std::min(frames, start + controlFrames);
            const float opening = settings.envmod * core.filter.value() * (0.5f + 0.5f * core.velocity);
            filterLeft.setup(cutoff * std::exp2(opening), settings.resonance, sampleRateHz);
            filterRight.setup(cutoff * 1.04f * std::exp2(opening), settings.resonance, sampleRateHz);
            const float depth =
                0.2f *
                std::clamp((static_cast<float>(core.age + start) - vibratoDelay) / vibratoRamp, 0.0f, 1.0f);
            const float wobble =
                std::exp2(depth * vibrato.next(Waveform::Sine, 5.2f * controlFrames / sampleRateHz) / 12.0f);
            const float air = 0.35f * std::clamp(cutoff / 6000.0f, 0.0f, 1.0f);
            for (int i = start; i < end; ++i) {
                const float increment = core.glideStep() * wobble / sampleRateHz;
                const float a = sawLeft.next(Waveform::Saw, increment * down);
                const float b = sawRight.next(Waveform::Saw, increment * up);
                const float c = 0.35f * square.next(Waveform::Square, 0.5f * increment);
                const float level = 0.3f * core.velocity * core.amplitude.next();
                core.filter.next();
                const float sideLeft = a + 0.25f * b + c, sideRight = b + 0.25f * a + c;
                left[i] += level * (filterLeft.lowpass(sideLeft) + air * airLeft.highpass(sideLeft));
                right[i] += level * (filterRight.lowpass(sideRight) + air * airRight.highpass(sideRight));
            }
        }
        core.age += frames;
    }
};

// Riser: band-passed noise, different on each side, whose band follows the track's cutoff curve.
struct RiserVoice {
    static constexpr float defaultCutoff = 800.0f;
    static VoiceSettings defaults() { return {1.5f, 1.0f, 1.0f, 1.0f, 0.45f, 0.0f, 0.0f, 0.0f}; }

    VoiceCore core;
    Noise noiseLeft, noiseRight;
    StateVariableFilter filterLeft, filterRight;

    void seed(unsigned value) {
        noiseLeft = Noise(value);
        noiseRight = Noise(value ^ 0x68e31da4u);
    }

    void start(const VoiceSettings& settings, int note, float velocity, bool glide) {
        core.start(settings, note, velocity, glide, settings.decay);
    }

    void render(const VoiceSettings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        filterLeft.setup(cutoff, settings.resonance, sampleRateHz);
        filterRight.setup(cutoff * 1.06f, settings.resonance, sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            const float level = 0.9f * core.velocity * core.amplitude.next();
            left[i] += level * filterLeft.bandpass(noiseLeft.next());
            right[i] += level * filterRight.bandpass(noiseRight.next());
        }
        core.age += frames;
    }
};

// Voice: a sung vowel, the soundtrack's own sound. Each side has its own source, a saw a few cents off the
// other's (a glottal pulse falls by about 6 dB an octave as a saw does), drifting a little in pitch as a
// singer does, under a vibrato that grows on held notes; each goes through three formant band-passes, which
// make the vowel, and a low-pass at the cutoff that keeps the top soft. A breath of noise through the same
// formants starts each note, after a click of high noise, the consonant that lets a line of notes be heard
// as syllables (and puts the note's start on its frame); a slow attack, a choir's, leaves it out. A note
// begins `envmod` vowels towards "oo" and opens to its own vowel over its decay, as a sung syllable does.
struct SingerVoice {
    static constexpr float defaultCutoff = 3200.0f;
    static VoiceSettings defaults() { return {0.05f, 0.22f, 0.9f, 0.45f, 0.0f, 1.0f, 8.0f, 0.09f, 2.0f}; }
    static constexpr int formantCount = 3;

    // Soprano formants, "oo" "oh" "ah" "eh" "ee": centre (Hz), gain (dB) and bandwidth (Hz) of each. The
    // bandwidths are wider than a singer's, so that a high note whose harmonics straddle a formant keeps
    // its vowel and the resonances do not whistle.
    struct Formant {
        float frequency, gainDb, bandwidth;
    };
    static constexpr Formant vowels[5][formantCount] = {
        {{325.0f, 0.0f, 110.0f}, {700.0f, -14.0f, 130.0f}, {2700.0f, -30.0f, 260.0f}},
        {{450.0f, 0.0f, 130.0f}, {800.0f, -9.0f, 150.0f}, {2830.0f, -22.0f, 220.0f}},
        {{800.0f, 0.0f, 150.0f}, {1150.0f, -5.0f, 170.0f}, {2900.0f, -24.0f, 240.0f}},
        {{400.0f, 0.0f, 120.0f}, {1900.0f, -14.0f, 180.0f}, {2750.0f, -16.0f, 240.0f}},
        {{290.0f, 0.0f, 110.0f}, {2140.0f, -12.0f, 170.0f}, {2950.0f, -20.0f, 220.0f}},
    };

    struct Side {
        Oscillator source;
        Noise drift;
        float wander = 0.0f; // slow pitch drift in semitones
        std::array<StateVariableFilter, formantCount> formants;
        StateVariableFilter top;
    };

    VoiceCore core;
    std::array<Side, 2> sides;
    Oscillator vibrato;
    Noise breath;
    Decay breathEnvelope, consonantEnvelope;
    OnePole consonantTone;
    std::array<float, formantCount> gains{}, widths{}; // linear gains, and 1 / Q to normalise the band-passes

    void seed(unsigned value) {
        breath = Noise(value);
        sides[0].drift = Noise(value ^ 0x2545f491u);
        sides[1].drift = Noise(value ^ 0x9e3779b9u);
    }

    void start(const VoiceSettings& settings, int note, float velocity, bool glide) {
        if (!(glide && core.amplitude.active())) {
            sides[0].source.reset(std::fmod(0.173f * static_cast<float>(note), 1.0f));
            sides[1].source.reset(std::fmod(0.173f * static_cast<float>(note) + 0.5f, 1.0f));
            breathEnvelope.setup(0.07f, sampleRateHz);
            breathEnvelope.trigger();
            consonantEnvelope.setup(0.005f, sampleRateHz);
            consonantEnvelope.trigger();
            consonantTone.setup(2000.0f, sampleRateHz);
        }
        core.start(settings, note, velocity, glide, settings.decay);
    }

    // Points the formant filters at `vowel` (0 … 4, blending the two nearest).
    void tune(float vowel, float cutoff) {
        vowel = std::clamp(vowel, 0.0f, 4.0f);
        const int low = std::min(static_cast<int>(vowel), 3);
        const float t = vowel - static_cast<float>(low);
        for (int f = 0; f < formantCount; ++f) {
            const Formant &a = vowels[low][f], &b = vowels[low + 1][f];
            const float frequency = a.frequency * std::pow(b.frequency / a.frequency, t);
            const float width = a.bandwidth + (b.bandwidth - a.bandwidth) * t;
            gains[f] = std::pow(10.0f, (a.gainDb + (b.gainDb - a.gainDb) * t) / 20.0f);
            // A resonance r gives 1 / Q = 2 − 1.96 r (StateVariableFilter): solve for the formant's Q.
            widths[f] = width / frequency;
            const float resonance = (2.0f - widths[f]) / 1.96f;
            for (Side& side : sides)
                side.formants[f].setup(frequency, resonance, sampleRateHz);
        }
        for (Side& side : sides)
            side.top.setup(cutoff, 0.0f, sampleRateHz);
    }

    void render(const VoiceSettings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        const float spread[2] = {centsRatio(-0.5f * settings.detune), centsRatio(0.5f * settings.detune)};
        const float consonantLevel = 0.3f * std::clamp(1.0f - settings.attack / 0.2f, 0.0f, 1.0f);
        constexpr float vibratoDelay = 0.3f * sampleRateHz, vibratoRamp = 0.6f * sampleRateHz;
        const float driftSmooth = std::exp(-6.2831853f * 3.0f * controlFrames / sampleRateHz);
        float* outputs[2] = {left, right};
        for (int start = 0; start < frames; start += controlFrames) {
            const int end = std::min(frames, start + controlFrames);
            tune(settings.vowel - settings.envmod * core.filter.value(), cutoff);
            const float depth =
                0.3f *
                std::clamp((static_cast<float>(core.age + start) - vibratoDelay) / vibratoRamp, 0.0f, 1.0f);
            const float wobble = depth * vibrato.next(Waveform::Sine, 5.4f * controlFrames / sampleRateHz);
            float ratio[2];
            for (int s = 0; s < 2; ++s) {
                Side& side = sides[static_cast<size_t>(s)];
                // Smoothed noise: a few cents of wander, slower than the vibrato.
                const float target = 1.5f * side.drift.next();
                side.wander = target + driftSmooth * (side.wander - target);
                ratio[s] = spread[s] * std::exp2((wobble + side.wander) / 12.0f);
            }
            for (int i = start; i < end; ++i) {
                const float increment = core.glideStep() / sampleRateHz;
                const float level = 0.75f * core.velocity * core.amplitude.next();
                core.filter.next();
                const float air = 0.02f + 0.25f * breathEnvelope.next();
                const float consonant = consonantLevel * core.velocity * consonantEnvelope.next() *
                                        consonantTone.highpass(breath.next());
                for (int s = 0; s < 2; ++s) {
                    Side& side = sides[static_cast<size_t>(s)];
                    const float source =
                        side.source.next(Waveform::Saw, increment * ratio[s]) + air * breath.next();
                    float sum = 0.0f;
                    for (int f = 0; f < formantCount; ++f)
                        sum += gains[f] * widths[f] * side.formants[f].bandpass(source);
                    outputs[s][i] += level * side.top.lowpass(sum) + consonant;
                }
            }
        }
        core.age += frames;
    }
};

// One voice that every note takes over (glide applies); bass, lead and riser.
template <typename Voice>
class MonoSynth final : public Instrument {
public:
    MonoSynth(const Tone& tone, unsigned seed)
        : Instrument(tone.cutoff.value_or(Voice::defaultCutoff)), settings(tone, Voice::defaults()) {
        if constexpr (requires { voice.seed(seed); })
            voice.seed(seed);
    }

    void play(const std::vector<int>& notes, float velocity, bool glide) override {
        voice.start(settings, notes.back(), velocity, glide);
    }
    void release() override { voice.core.release(); }
    bool sounding() const override { return voice.core.amplitude.active(); }
    void render(float* left, float* right, int frames) override {
        if (voice.core.amplitude.active())
            voice.render(settings, cutoff, left, right, frames);
    }

private:
    VoiceSettings settings;
    Voice voice;
};

// Up to `Count` voices; a new chord releases the one before, whose tails ring on in free voices.
template <typename Voice, int Count>
class PolySynth final : public Instrument {
public:
    PolySynth(const Tone& tone, unsigned seed)
        : Instrument(tone.cutoff.value_or(Voice::defaultCutoff)), settings(tone, Voice::defaults()) {
        if constexpr (requires(Voice voice) { voice.seed(seed); }) {
            for (size_t i = 0; i < voices.size(); ++i)
                voices[i].seed(seed * 2654435761u + static_cast<unsigned>(i) * 40503u + 1u);
        }
    }

    void play(const std::vector<int>& notes, float velocity, bool glide) override {
        release();
        for (int note : notes) {
            // A free voice, else the quietest releasing one, else the oldest.
            Voice* chosen = nullptr;
            for (Voice& voice : voices) {
                if (!voice.core.amplitude.active()) {
                    chosen = &voice;
                    break;
                }
                if (chosen == nullptr || quieter(voice, *chosen))
                    chosen = &voice;
            }
            chosen->start(settings, note, velocity, glide);
        }
    }

    void release() override {
        for (Voice& voice : voices)
            voice.core.release();
    }

    bool sounding() const override {
        return std::any_of(voices.begin(), voices.end(),
                           [](const Voice& voice) { return voice.core.amplitude.active(); });
    }

    void render(float* left, float* right, int frames) override {
        for (Voice& voice : voices) {
            if (voice.core.amplitude.active())
                voice.render(settings, cutoff, left, right, frames);
        }
    }

private:
    static bool quieter(const Voice& a, const Voice& b) {
        if (a.core.amplitude.releasing() != b.core.amplitude.releasing())
            return a.core.amplitude.releasing();
        if (a.core.amplitude.releasing())
            return a.core.amplitude.value() < b.core.amplitude.value();
        return a.core.age > b.core.age;
    }

    VoiceSettings settings;
    std::array<Voice, Count> voices{};
};

} // namespace

std::unique_ptr<Instrument> makeSynth(InstrumentKind kind, const Tone& tone, unsigned seed) {
    switch (kind) {
    case InstrumentKind::Bass:
        return std::make_unique<MonoSynth<BassVoice>>(tone, seed);
    case InstrumentKind::Pad:
        return std::make_unique<PolySynth<PadVoice, 10>>(tone, seed);
    case InstrumentKind::Pluck:
        return std::make_unique<PolySynth<PluckVoice, 8>>(tone, seed);
    case InstrumentKind::Lead:
        return std::make_unique<MonoSynth<LeadVoice>>(tone, seed);
    case InstrumentKind::Riser:
        return std::make_unique<MonoSynth<RiserVoice>>(tone, seed);
    case InstrumentKind::Voice:
        return std::make_unique<PolySynth<SingerVoice, 8>>(tone, seed);
    default:
        return nullptr;
    }
}

std::unique_ptr<Instrument> makeInstrument(InstrumentKind kind, const Tone& tone, unsigned seed) {
    if (auto drum = makeDrum(kind, tone, seed))
        return drum;
    return makeSynth(kind, tone, seed);
}

} // namespace halcyra
