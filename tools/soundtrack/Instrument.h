// The synthesizer's instruments: drums built from oscillators and filtered noise (kick with a pitch envelope,
// snare tone plus noise, clap, hats, cymbal, tuned toms, a sub boom) and tonal voices (bass, detuned pad,
// pluck for arps and stabs, lead, noise riser, a formant voice that sings vowels). SongRenderer makes one per
// track and feeds it the track's note events; an instrument adds its sound into the block it is given and
// owns no state outside itself.
#pragma once

#include "soundtrack/Song.h"

#include <memory>
#include <vector>

namespace halcyra {

class Instrument {
public:
    virtual ~Instrument() = default;

    // Starts `notes` together (a drum hit is one note). Tonal instruments release what sounded before.
    virtual void play(const std::vector<int>& notes, float velocity, bool glide) = 0;
    // Lets every sounding note go into its release.
    virtual void release() = 0;
    // Adds `frames` frames of sound to `left` and `right`.
    virtual void render(float* left, float* right, int frames) = 0;
    // Whether anything still sounds; a silent instrument adds nothing until it plays again.
    virtual bool sounding() const = 0;

    // The filter cutoff from the track's curve for the frames rendered next, in Hz.
    void setCutoff(float hz) { cutoff = hz; }
    // The cutoff the track's tone asks for where no curve is given.
    float toneCutoff() const { return baseCutoff; }

protected:
    explicit Instrument(float toneCutoffHz) : cutoff(toneCutoffHz), baseCutoff(toneCutoffHz) {}

    float cutoff;

private:
    float baseCutoff;
};

// An instrument of `kind` with `tone`; `seed` fixes its noise.
std::unique_ptr<Instrument> makeInstrument(InstrumentKind kind, const Tone& tone, unsigned seed);

// The drum and the tonal halves of makeInstrument (Drums.cpp, Synths.cpp); null for a kind of the other.
std::unique_ptr<Instrument> makeDrum(InstrumentKind kind, const Tone& tone, unsigned seed);
std::unique_ptr<Instrument> makeSynth(InstrumentKind kind, const Tone& tone, unsigned seed);

// Smooth saturation: tanh-like, exactly ±1 from |x| = 3 on.
inline float softClip(float x) {
    if (x > 3.0f)
        return 1.0f;
    if (x < -3.0f)
        return -1.0f;
    const float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

} // namespace halcyra
