#include "soundtrack/Sequencer.h"

namespace halcyra {

int64_t frameOfRow(int64_t row, int rowsPerBeat, int tempo) {
    const int64_t numerator = row * 60 * sampleRate;
    const int64_t denominator = static_cast<int64_t>(tempo) * rowsPerBeat;
    return (2 * numerator + denominator) / (2 * denominator);
}

int64_t songFrames(const Song& song) {
    return frameOfRow(static_cast<int64_t>(song.bars) * beatsPerBar, 1, song.tempo);
}

std::vector<NoteEvent> sequenceTrack(const Song& song, const Track& track) {
    std::vector<NoteEvent> events;
    bool silent = true;
    for (const OrderSlot& slot : track.order) {
        if (slot.pattern < 0) {
            if (!silent)
                events.push_back({frameOfRow(static_cast<int64_t>(slot.bar) * beatsPerBar, 1, song.tempo),
                                  {},
                                  0.0f,
                                  false});
            silent = true;
            continue;
        }
        silent = false;
        const Pattern& pattern = song.patterns[slot.pattern];
        const int64_t firstRow = static_cast<int64_t>(slot.bar) * beatsPerBar * pattern.rowsPerBeat;
        for (const PatternStep& step : pattern.steps) {
            events.push_back({frameOfRow(firstRow + step.row, pattern.rowsPerBeat, song.tempo), step.notes,
                              step.velocity, step.glide});
        }
    }
    return events;
}

} // namespace halcyra
