#include "soundtrack/Envelope.h"
#include "soundtrack/Instrument.h"
#include "soundtrack/Oscillator.h"
#include "soundtrack/StateVariableFilter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace halcyra {
namespace {

// The metallic component of hats and cymbals: six square waves at inharmonic ratios, which give the noise
// a ring instead of a hiss. They sit under high-passed noise, so plain (aliasing) squares do.
class MetalRing {
public:
    explicit MetalRing(float scale) {
        constexpr float partials[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
        for (int i = 0; i < 6; ++i)
            increments[i] = partials[i] * scale / sampleRateHz;
    }
    float next() {
        float sum = 0.0f;
        for (int i = 0; i < 6; ++i) {
            phases[i] += increments[i];
            if (phases[i] >= 1.0f)
                phases[i] -= 1.0f;
            sum += phases[i] < 0.5f ? 1.0f : -1.0f;
        }
        return sum;
    }

private:
    float increments[6] = {};
    float phases[6] = {};
};

// A drum with up to `Count` hits ringing at once; a new hit takes a free voice or the oldest one.
template <typename Voice, int Count>
class DrumKit final : public Instrument {
public:
    DrumKit(const Tone& tone, unsigned seed)
        : Instrument(tone.cutoff.value_or(Voice::defaultCutoff)), settings(tone) {
        for (int i = 0; i < Count; ++i)
            voices[i].seed(seed * 2654435761u + static_cast<unsigned>(i) * 40503u + 1u);
    }

    void play(const std::vector<int>& notes, float velocity, bool) override {
        for (int note : notes) {
            Voice* chosen = &voices[0];
            for (Voice& voice : voices) {
                if (!voice.active) {
                    chosen = &voice;
                    break;
                }
                if (voice.age > chosen->age)
                    chosen = &voice;
            }
            chosen->start(settings, note, velocity);
        }
    }

    void release() override {}

    bool sounding() const override {
        return std::any_of(voices.begin(), voices.end(), [](const Voice& voice) { return voice.active; });
    }

    void render(float* left, float* right, int frames) override {
        for (Voice& voice : voices) {
            if (voice.active)
                voice.render(settings, cutoff, left, right, frames);
        }
    }

private:
    typename Voice::Settings settings;
    std::array<Voice, Count> voices{};
};

// Kick: a sine whose pitch falls from about four times its base within a few tens of ms, held for 30 ms
// and then decaying, with a click of filtered noise on top and a little saturation. The short hold keeps
// the low end tight: the weight is in the first beat of the sweep, not in a long sub tail.
struct KickVoice {
    static constexpr float defaultCutoff = 4000.0f;
    struct Settings {
        explicit Settings(const Tone& tone)
            : pitch(tone.pitch.value_or(47.0f)), decay(tone.decay.value_or(0.17f)),
              sweep(tone.envmod.value_or(3.4f)) {}
        float pitch, decay, sweep;
    };

    bool active = false;
    int age = 0;
    Oscillator body;
    Decay pitchEnvelope, amplitude, clickEnvelope;
    Noise noise;
    OnePole clickTone;
    float velocity = 0.0f;

    void seed(unsigned value) { noise = Noise(value); }

    void start(const Settings& settings, int, float hitVelocity) {
        active = true;
        age = 0;
        velocity = hitVelocity;
        body.reset(0.0f);
        pitchEnvelope.setup(0.026f, sampleRateHz);
        pitchEnvelope.trigger();
        amplitude.setup(settings.decay, sampleRateHz);
        amplitude.trigger();
        clickEnvelope.setup(0.0022f, sampleRateHz);
        clickEnvelope.trigger();
    }

    void render(const Settings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        constexpr int hold = static_cast<int>(0.03f * sampleRateHz);
        clickTone.setup(cutoff, sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            const float frequency = settings.pitch * (1.0f + settings.sweep * pitchEnvelope.next());
            const float level = age < hold ? 1.0f : amplitude.next();
            const float click = clickEnvelope.next() * clickTone.lowpass(noise.next());
            const float value =
                0.87f * velocity *
                softClip(1.5f * (body.next(Waveform::Sine, frequency / sampleRateHz) * level + 0.6f * click));
            left[i] += value;
            right[i] += value;
            ++age;
            if (level < 0.002f) {
                active = false;
                return;
            }
        }
    }
};

// Snare: two falling sine partials for the body, band-passed noise for the wires: high-passed at the cutoff
// and low-passed with two poles a little under two octaves above it (6.5 kHz at the default cutoff), so the
// crack sits in the presence range and does not hiss above; a lower cutoff moves the whole band down.
struct SnareVoice {
    static constexpr float defaultCutoff = 1700.0f;
    static constexpr float topRatio = 3.8f; // low-pass against the high-pass
    struct Settings {
        explicit Settings(const Tone& tone)
            : pitch(tone.pitch.value_or(185.0f)), decay(tone.decay.value_or(0.16f)) {}
        float pitch, decay;
    };

    bool active = false;
    int age = 0;
    Oscillator low, high;
    Decay sweep, body, wires;
    Noise noise;
    StateVariableFilter wireFilter;
    StateVariableFilter wireTone;
    float velocity = 0.0f;

    void seed(unsigned value) { noise = Noise(value); }

    void start(const Settings& settings, int, float hitVelocity) {
        active = true;
        age = 0;
        velocity = hitVelocity;
        low.reset();
        high.reset(0.25f);
        sweep.setup(0.012f, sampleRateHz);
        sweep.trigger();
        body.setup(0.05f, sampleRateHz);
        body.trigger();
        wires.setup(settings.decay * (0.6f + 0.4f * hitVelocity), sampleRateHz);
        wires.trigger();
    }

    void render(const Settings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        wireFilter.setup(cutoff, 0.2f, sampleRateHz);
        wireTone.setup(cutoff * topRatio, 0.25f, sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            const float frequency = settings.pitch * (1.0f + 0.5f * sweep.next());
            const float tone = (low.next(Waveform::Sine, frequency / sampleRateHz) +
                                0.45f * high.next(Waveform::Sine, 1.62f * frequency / sampleRateHz)) *
                               body.next();
            const float wire = wireTone.lowpass(wireFilter.highpass(noise.next())) * wires.next();
            const float value = velocity * softClip(0.9f * tone + 1.6f * wire);
            left[i] += value;
            right[i] += value;
            ++age;
            if (wires.value() < 0.001f && body.value() < 0.001f) {
                active = false;
                return;
            }
        }
    }
};

// Clap: band-passed noise in four quick bursts and a short tail, a little different left and right.
struct ClapVoice {
    static constexpr float defaultCutoff = 1250.0f;
    struct Settings {
        explicit Settings(const Tone& tone) : decay(tone.decay.value_or(0.11f)) {}
        float decay;
    };

    bool active = false;
    int age = 0;
    Noise noiseLeft, noiseRight;
    StateVariableFilter filterLeft, filterRight;
    Decay burst, tail;
    float velocity = 0.0f;

    void seed(unsigned value) {
        noiseLeft = Noise(value);
        noiseRight = Noise(value ^ 0x5bd1e995u);
    }

    void start(const Settings& settings, int, float hitVelocity) {
        active = true;
        age = 0;
        velocity = hitVelocity;
        burst.setup(0.004f, sampleRateHz);
        tail.setup(settings.decay, sampleRateHz);
    }

    void render(const Settings&, float cutoff, float* __restrict left, float* __restrict right, int frames) {
        constexpr int spacing = static_cast<int>(0.0095f * sampleRateHz);
        filterLeft.setup(cutoff, 0.35f, sampleRateHz);
        filterRight.setup(cutoff * 1.08f, 0.35f, sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            if (age % spacing == 0 && age <= 3 * spacing) {
                burst.trigger();
                if (age == 3 * spacing)
                    tail.trigger();
            }
            const float level = age < 3 * spacing ? burst.next() : tail.next();
            left[i] += 1.6f * velocity * level * filterLeft.bandpass(noiseLeft.next());
            right[i] += 1.6f * velocity * level * filterRight.bandpass(noiseRight.next());
            ++age;
            if (age > 3 * spacing && level < 0.001f) {
                active = false;
                return;
            }
        }
    }
};

// Hi-hat: a band of noise with a little metallic ring, high-passed at the cutoff and low-passed a third of an
// octave over it, so its sizzle sits round 8 kHz and falls above instead of rising to the top of the band as
// plain high-passed noise does; `decay` makes it closed or open.
struct HatVoice {
    static constexpr float defaultCutoff = 7500.0f;
    static constexpr float topRatio = 1.3f; // low-pass against the high-pass
    struct Settings {
        explicit Settings(const Tone& tone) : decay(tone.decay.value_or(0.035f)) {}
        float decay;
    };

    bool active = false;
    int age = 0;
    Noise noise;
    MetalRing metal{1.7f};
    StateVariableFilter filter, top;
    Decay amplitude;
    float velocity = 0.0f;

    void seed(unsigned value) { noise = Noise(value); }

    void start(const Settings& settings, int, float hitVelocity) {
        active = true;
        age = 0;
        velocity = hitVelocity;
        amplitude.setup(settings.decay, sampleRateHz);
        amplitude.trigger();
    }

    void render(const Settings&, float cutoff, float* __restrict left, float* __restrict right, int frames) {
        filter.setup(cutoff, 0.25f, sampleRateHz);
        top.setup(cutoff * topRatio, 0.25f, sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            const float source = noise.next() + 0.12f * metal.next();
            const float value = 0.9f * velocity * amplitude.next() * top.lowpass(filter.highpass(source));
            left[i] += value;
            right[i] += value;
            ++age;
            if (amplitude.value() < 0.002f) {
                active = false;
                return;
            }
        }
    }
};

// Crash cymbal: wide, long noise with a metallic shimmer, different noise on each side, high-passed at the
// cutoff and low-passed a little over an octave above it: a bright wash that does not hiss.
struct CymbalVoice {
    static constexpr float defaultCutoff = 4200.0f;
    static constexpr float topRatio = 2.2f; // low-pass against the high-pass
    struct Settings {
        explicit Settings(const Tone& tone) : decay(tone.decay.value_or(0.8f)) {}
        float decay;
    };

    bool active = false;
    int age = 0;
    Noise noiseLeft, noiseRight;
    MetalRing metal{2.3f};
    StateVariableFilter filterLeft, filterRight, topLeft, topRight;
    Decay amplitude;
    float velocity = 0.0f;

    void seed(unsigned value) {
        noiseLeft = Noise(value);
        noiseRight = Noise(value ^ 0x27d4eb2du);
    }

    void start(const Settings& settings, int, float hitVelocity) {
        active = true;
        age = 0;
        velocity = hitVelocity;
        amplitude.setup(settings.decay, sampleRateHz);
        amplitude.trigger();
    }

    void render(const Settings&, float cutoff, float* __restrict left, float* __restrict right, int frames) {
        filterLeft.setup(cutoff, 0.1f, sampleRateHz);
        filterRight.setup(cutoff * 1.05f, 0.1f, sampleRateHz);
        topLeft.setup(cutoff * topRatio, 0.25f, sampleRateHz);
        topRight.setup(cutoff * 1.05f * topRatio, 0.25f, sampleRateHz);
        constexpr int attack = static_cast<int>(0.002f * sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            const float ring = metal.next();
            const float level =
                velocity * amplitude.next() * (age < attack ? static_cast<float>(age) / attack : 1.0f);
            left[i] += 0.7f * level * topLeft.lowpass(filterLeft.highpass(noiseLeft.next() + 0.1f * ring));
            right[i] +=
                0.7f * level * topRight.lowpass(filterRight.highpass(noiseRight.next() + 0.1f * ring));
            ++age;
            if (amplitude.value() < 0.001f) {
                active = false;
                return;
            }
        }
    }
};

// Tom: a sine and a softer triangle an octave and a fifth up, falling into pitch, with a short knock of
// band-passed noise. A hit sounds at the track's pitch; a note moves it by as many semitones as the note
// lies from C4, so a fill can walk down the kit.
struct TomVoice {
    static constexpr float defaultCutoff = 2500.0f;
    struct Settings {
        explicit Settings(const Tone& tone)
            : pitch(tone.pitch.value_or(110.0f)), decay(tone.decay.value_or(0.22f)) {}
        float pitch, decay;
    };

    bool active = false;
    int age = 0;
    Oscillator body, overtone;
    Decay sweep, amplitude, knock;
    Noise noise;
    StateVariableFilter knockFilter;
    float velocity = 0.0f, frequency = 0.0f;

    void seed(unsigned value) { noise = Noise(value); }

    void start(const Settings& settings, int note, float hitVelocity) {
        active = true;
        age = 0;
        velocity = hitVelocity;
        frequency = settings.pitch * std::exp2(static_cast<float>(note - 60) / 12.0f);
        body.reset();
        overtone.reset(0.25f);
        sweep.setup(0.035f, sampleRateHz);
        sweep.trigger();
        amplitude.setup(settings.decay, sampleRateHz);
        amplitude.trigger();
        knock.setup(0.006f, sampleRateHz);
        knock.trigger();
    }

    void render(const Settings&, float cutoff, float* __restrict left, float* __restrict right, int frames) {
        knockFilter.setup(cutoff, 0.3f, sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            const float f = frequency * (1.0f + 0.7f * sweep.next());
            const float level = amplitude.next();
            const float tone = body.next(Waveform::Sine, f / sampleRateHz) +
                               0.25f * overtone.next(Waveform::Triangle, 2.9f * f / sampleRateHz);
            const float value =
                velocity *
                softClip(1.2f * (tone * level + 0.5f * knock.next() * knockFilter.bandpass(noise.next())));
            left[i] += value;
            right[i] += value;
            ++age;
            if (level < 0.001f) {
                active = false;
                return;
            }
        }
    }
};

// Boom: a deep falling sine with a thump of low noise, for the big moments, and a short knock of brighter
// noise on top: the low thump alone swells over several milliseconds, the knock puts the hit on its frame.
struct BoomVoice {
    static constexpr float defaultCutoff = 300.0f;
    struct Settings {
        explicit Settings(const Tone& tone)
            : pitch(tone.pitch.value_or(38.0f)), decay(tone.decay.value_or(0.9f)) {}
        float pitch, decay;
    };

    bool active = false;
    int age = 0;
    Oscillator body;
    Decay sweep, amplitude, thump, knock;
    Noise noise;
    OnePole thumpTone, knockTone;
    float velocity = 0.0f;

    void seed(unsigned value) { noise = Noise(value); }

    void start(const Settings& settings, int, float hitVelocity) {
        active = true;
        age = 0;
        velocity = hitVelocity;
        body.reset();
        sweep.setup(0.11f, sampleRateHz);
        sweep.trigger();
        amplitude.setup(settings.decay, sampleRateHz);
        amplitude.trigger();
        thump.setup(0.05f, sampleRateHz);
        thump.trigger();
        knock.setup(0.002f, sampleRateHz);
        knock.trigger();
    }

    void render(const Settings& settings, float cutoff, float* __restrict left, float* __restrict right,
                int frames) {
        thumpTone.setup(cutoff, sampleRateHz);
        knockTone.setup(2500.0f, sampleRateHz);
        for (int i = 0; i < frames; ++i) {
            const float frequency = settings.pitch * (1.0f + 2.4f * sweep.next());
            const float value =
                velocity *
                softClip(1.3f * (body.next(Waveform::Sine, frequency / sampleRateHz) * amplitude.next() +
                                 2.0f * thump.next() * thumpTone.lowpass(noise.next()) +
                                 0.8f * knock.next() * knockTone.lowpass(noise.next())));
            left[i] += value;
            right[i] += value;
            ++age;
            if (amplitude.value() < 0.001f) {
                active = false;
                return;
            }
        }
    }
};

} // namespace

std::unique_ptr<Instrument> makeDrum(InstrumentKind kind, const Tone& tone, unsigned seed) {
    switch (kind) {
    case InstrumentKind::Kick:
        return std::make_unique<DrumKit<KickVoice, 4>>(tone, seed);
    case InstrumentKind::Snare:
        return std::make_unique<DrumKit<SnareVoice, 4>>(tone, seed);
    case InstrumentKind::Clap:
        return std::make_unique<DrumKit<ClapVoice, 3>>(tone, seed);
    case InstrumentKind::Hat:
        return std::make_unique<DrumKit<HatVoice, 4>>(tone, seed);
    case InstrumentKind::Cymbal:
        return std::make_unique<DrumKit<CymbalVoice, 3>>(tone, seed);
    case InstrumentKind::Boom:
        return std::make_unique<DrumKit<BoomVoice, 2>>(tone, seed);
    case InstrumentKind::Tom:
        return std::make_unique<DrumKit<TomVoice, 3>>(tone, seed);
    default:
        return nullptr;
    }
}

} // namespace halcyra
