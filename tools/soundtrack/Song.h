// The song as data: tracks (an instrument, its tone and mix settings, an order list of patterns, curves),
// the patterns of note steps they play, and the master bus (its gain curve, tone and ceiling). readSong
// parses the text format of muzak.song; any damage (unknown word, bad note, a pattern of the wrong length,
// an order list that does not fill the song) is a SongError naming the file and line. Nothing here knows
// how a note sounds.
#pragma once

#include "show/ShowLayout.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace halcyra {

constexpr int sampleRate = 44100;
constexpr float sampleRateHz = static_cast<float>(sampleRate);
constexpr int beatsPerBar = show::beatsPerBar;

// The show's seven scenes in beats (show/ShowLayout.h): the song fills them exactly, at the show's tempo.
constexpr int showTempo = show::tempo;
constexpr std::array<int, 7> sceneBeats = show::sceneBeats;
constexpr int showBars = show::bars;

// Moments the music marks, in beats from the song's start. The planet's torus shrinks to nothing as beat 480
// begins: that beat is silent, and the break starts on the next. The screen turns white on the last sixteenth
// of bar 124, where the closing A major chord lands.
constexpr double silentBeat = show::silentBeat;
constexpr double whiteScreenBeat = show::whiteScreenBeat;

class SongError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class InstrumentKind { Kick, Snare, Clap, Hat, Cymbal, Boom, Tom, Bass, Pad, Pluck, Lead, Riser, Voice };

// How a track's instrument sounds, where the song says so; each instrument kind reads the fields it needs
// and has its own value for those left empty.
struct Tone {
    std::optional<float> attack, decay, sustain, release; // seconds; sustain is a level, 0 … 1
    std::optional<float> cutoff;                          // filter cutoff in Hz before envelopes and curves
    std::optional<float> resonance;                       // 0 … 1
    std::optional<float> envmod;                          // filter envelope depth in octaves
    std::optional<float> detune;                          // cents between stacked oscillators
    std::optional<float> glide;                           // seconds for a `~` note to reach its pitch
    std::optional<float> pitch;                           // drums: base frequency in Hz
    std::optional<float> vowel; // the voice's vowel: 0 "oo", 1 "oh", 2 "ah", 3 "eh", 4 "ee"; between blends
};

// Where a track sits in the mix.
struct TrackMix {
    float gain = 0.0f;   // dB
    float pan = 0.0f;    // −1 left … 1 right
    float reverb = 0.0f; // send, 0 … 1
    float delay = 0.0f;  // send, 0 … 1
    float duck = 0.0f;   // depth of the ducking under kick hits, 0 … 1
    float chorus = 0.0f; // wet share of the chorus insert, 0 … 1
};

// One token of a pattern that does something: notes to start (drum hits are notes too) or a release.
struct PatternStep {
    int row = 0;            // at the pattern's rowsPerBeat
    std::vector<int> notes; // MIDI note numbers; empty for a release
    float velocity = 0.8f;
    bool glide = false;
};

struct Pattern {
    std::string name;
    int bars = 1;
    int rowsPerBeat = 4;
    std::vector<PatternStep> steps;
};

// A curve over song position in bars; linear between points (cutoff in octaves), flat outside them.
struct CurvePoint {
    double bar = 0.0;
    float value = 0.0f;
};
enum class CurveTarget { Gain, Cutoff, Reverb, Delay, Count };
using Curve = std::vector<CurvePoint>;

// One entry of a track's order list: a pattern from `bar` on, or one silent bar (pattern -1).
struct OrderSlot {
    int bar = 0;
    int pattern = -1;
};

struct Track {
    std::string name;
    InstrumentKind kind = InstrumentKind::Kick;
    Tone tone;
    TrackMix mix;
    std::vector<OrderSlot> order; // in bar order, filling the song without gaps
    std::array<Curve, static_cast<size_t>(CurveTarget::Count)> curves;
};

// The master bus after the mix: its tone, then the limiter's ceiling.
struct MasterBus {
    float ceiling = -1.0f; // dBFS; neither a frame nor the signal between frames goes above it
    float lowCut = 0.0f;   // Hz, a two-pole high-pass under the music; 0 leaves it out
    float bass = 0.0f;     // dB, a shelf under 110 Hz
    float body = 0.0f;     // dB, a broad bell round 250 Hz
    float presence = 0.0f; // dB, a broad bell round 4 kHz
    float air = 0.0f;      // dB, a shelf over 6 kHz
};

struct Song {
    int tempo = 0;
    int bars = 0;
    std::vector<Pattern> patterns;
    std::vector<Track> tracks;
    Curve masterGain; // dB
    MasterBus master;
};

// Parses song text; `sourceName` prefixes every error message.
Song parseSong(const std::string& text, const std::string& sourceName);
// Reads and parses a song file.
Song readSong(const std::string& path);
// Throws SongError unless the song has the show's tempo and length.
void checkFitsShow(const Song& song);

// Value of `curve` at `bar`, or `fallback` when the curve has no points.
float curveValue(const Curve& curve, double bar, float fallback, bool logarithmic);

} // namespace halcyra
