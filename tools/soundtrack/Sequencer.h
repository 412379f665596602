// Turns a track's order list and patterns into note events at exact sample frames. Every event's frame is
// rounded from its own row (44,100 × 60 / tempo frames a beat), never summed from the rows before it, so the
// song's last beat lands exactly where the show's last scene ends. Used by SongRenderer and the tests.
#pragma once

#include "soundtrack/Song.h"

#include <cstdint>
#include <vector>

namespace halcyra {

struct NoteEvent {
    int64_t frame = 0;
    std::vector<int> notes; // empty: release what sounds
    float velocity = 0.8f;
    bool glide = false;
};

// First frame of row `row`, counted from the song's start at `rowsPerBeat` rows a beat.
int64_t frameOfRow(int64_t row, int rowsPerBeat, int tempo);

// The song's length in frames: the frame at which the bar after its last begins.
int64_t songFrames(const Song& song);

// The track's events in frame order. A silent bar of the order list releases what still sounds.
std::vector<NoteEvent> sequenceTrack(const Song& song, const Track& track);

} // namespace halcyra
