// Measurements of a rendered song for judging the mix without listening. printReport reads the render: per
// scene the peak and RMS level and its energy in octave bands, the RMS of every bar (where it builds, breaks
// and ends), and the longest near-silent stretch. measureMaster reads what the show plays (the decoded MP3):
// loudness and its range, true peak, the balance of three bands, and the two moments the music must mark
// (the silent beat and the white-screen hit); printMasterReport prints those. The soundtrack program prints
// both with --report, and the tests hold the built file to the figures.
#pragma once

#include "soundtrack/Loudness.h"
#include "soundtrack/Song.h"
#include "soundtrack/SongRenderer.h"

#include <array>
#include <ostream>
#include <vector>

namespace halcyra {

// The stretches whose loudness is compared: the six first scenes, the planet scene up to the silent beat
// (its climax), and the break and ending after it.
constexpr int partCount = 8;
extern const std::array<const char*, partCount> partNames;

struct MasterFigures {
    double integrated = 0.0; // LUFS
    LoudnessRange range;
    double truePeak = 0.0;                        // dBTP
    std::array<double, partCount> partLoudness{}; // LUFS
    // RMS of the mono mix under 100 Hz, from 100 Hz to 2 kHz and over 2 kHz, dBFS.
    double lowBand = 0.0, middleBand = 0.0, highBand = 0.0;
    double silentBeatLevel = 0.0; // dBFS RMS inside the silent beat, clear of its edges
    // The half second from the white screen on against the bar before it: whole band and over 2 kHz, dB.
    double hitRise = 0.0, hitBrightening = 0.0;
    // The largest distance in ms between a marked beat and the sharpest onset within 25 ms of it.
    double onsetError = 0.0;
};

// Beats on which the picture asks for a new sound: the title card, every beat of the credits' pulse, the
// cube rain's accents, each greeting, the planet's break and the white screen.
std::vector<double> markedBeats();

void printReport(const Song& song, const StereoBuffer& audio, std::ostream& out);

// `audio` starts with the song's first frame, at the song's sample rate.
MasterFigures measureMaster(const StereoBuffer& audio);
void printMasterReport(const MasterFigures& figures, std::ostream& out);

} // namespace halcyra
