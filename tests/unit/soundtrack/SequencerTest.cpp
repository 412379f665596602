#include "soundtrack/Sequencer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halcyra {
namespace {

TEST(Sequencer, EveryRowIsRoundedFromItsOwnPosition) {
    // 44,100 × 60 / 133 / 4 = 4973.68… frames a sixteenth; summing rounded rows would drift by a third of
    // a frame each row.
    const double exact = 44100.0 * 60.0 / 133.0 / 4.0;
    for (int64_t row = 0; row <= 129 * 16; ++row)
        ASSERT_LE(std::fabs(static_cast<double>(frameOfRow(row, 4, 133)) - exact * row), 0.5)
            << "row " << row;
    EXPECT_EQ(frameOfRow(1, 4, 133), 4974);
    EXPECT_EQ(frameOfRow(3, 4, 133), 14921);
    EXPECT_EQ(frameOfRow(3, 8, 133), 7461); // a finer grid lands between sixteenths
}

TEST(Sequencer, TheSongEndsWhereTheShowEnds) {
    Song song;
    song.tempo = showTempo;
    song.bars = showBars;
    // The show lasts 232,781.95 ms; the song's last frame ends within a frame of that.
    EXPECT_NEAR(static_cast<double>(songFrames(song)), 232781.95 * 44.1, 1.0);
    // Beats fall on the show's period of 451.1278 ms: beat 32 of the credits scene is where its sphere
    // starts to pulse, beat 81 of the last scene about where the planet vanishes (36,560 ms into it).
    EXPECT_NEAR(static_cast<double>(frameOfRow(48 + 32, 1, showTempo)), (48 + 32) * 451.1278 * 44.1, 1.0);
    const double planetScene = (48 + 96 + 4 * 64) * 451.1278;
    EXPECT_NEAR(static_cast<double>(frameOfRow(400 + 81, 1, showTempo)) / 44.1 - planetScene, 36560.0, 25.0);
}

TEST(Sequencer, PatternsPlayFromTheirBarAndSilentBarsRelease) {
    const Song song = parseSong("tempo 133\nbars 4\ntrack t pad\n"
                                "pattern a 1\nA3 . . . . . . . C4 . . . . . . .\n"
                                "pattern b 2 rows 2\nE4 . . . . . . . | . . . . . . . -\n"
                                "order t a . b\n",
                                "test.song");
    const std::vector<NoteEvent> events = sequenceTrack(song, song.tracks[0]);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].frame, 0);
    EXPECT_EQ(events[0].notes, std::vector<int>{57});
    EXPECT_EQ(events[1].frame, frameOfRow(8, 4, 133));
    EXPECT_TRUE(events[2].notes.empty()); // bar 1 is silent: what sounds is released
    EXPECT_EQ(events[2].frame, frameOfRow(16, 4, 133));
    EXPECT_EQ(events[3].frame, frameOfRow(32, 4, 133)); // bar 2, at two rows a beat
    EXPECT_EQ(events[3].notes, std::vector<int>{64});
    EXPECT_EQ(events[4].frame, frameOfRow(2 * 8 + 15, 2, 133));
    EXPECT_TRUE(events[4].notes.empty());
}

TEST(Sequencer, ShippedSongBeatsOncePerBeatWhileTheCreditsSpherePulses) {
    const Song song = readSong(HALCYRA_SOURCE_DIR "/tools/soundtrack/muzak.song");
    std::vector<int64_t> kicks;
    for (const Track& track : song.tracks) {
        if (track.kind != InstrumentKind::Kick)
            continue;
        for (const NoteEvent& event : sequenceTrack(song, track)) {
            if (!event.notes.empty())
                kicks.push_back(event.frame);
        }
    }
    // From beat 32 of the credits scene to its end (song beats 80 … 143): one kick on every beat, no others.
    const int64_t begin = frameOfRow(80, 1, showTempo), end = frameOfRow(144, 1, showTempo);
    std::vector<int64_t> inGroove;
    for (int64_t frame : kicks) {
        if (frame >= begin && frame < end)
            inGroove.push_back(frame);
    }
    ASSERT_EQ(inGroove.size(), 64u);
    for (int beat = 0; beat < 64; ++beat)
        EXPECT_EQ(inGroove[static_cast<size_t>(beat)], frameOfRow(80 + beat, 1, showTempo));
}

} // namespace
} // namespace halcyra
