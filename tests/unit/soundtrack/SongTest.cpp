#include "soundtrack/Song.h"

#include <gtest/gtest.h>

#include <string>

namespace halcyra {
namespace {

const char* const twoBarSong = R"(# a comment line
tempo 133
bars 2
track drums kick gain -3 pitch 50   # trailing comment
track keys  pad  pan -0.5 cutoff 900
pattern beat 1
X . x . o . , . . . . . . . . . |
pattern chords 2 rows 2
A3+C#4+E4! . . . C4' . - . | Bb2~ . . . . . . .
order drums beat .
order keys chords
curve keys cutoff 0:200 1.5:800
curve master gain 1:-6
curve keys cutoff 1.8:900
)";

std::string errorOf(const std::string& text) {
    try {
        parseSong(text, "test.song");
    } catch (const SongError& error) {
        return error.what();
    }
    return "no error";
}

TEST(Song, ReadsTracksPatternsOrdersAndCurves) {
    const Song song = parseSong(twoBarSong, "test.song");
    EXPECT_EQ(song.tempo, 133);
    EXPECT_EQ(song.bars, 2);
    ASSERT_EQ(song.tracks.size(), 2u);
    EXPECT_EQ(song.tracks[0].kind, InstrumentKind::Kick);
    EXPECT_EQ(song.tracks[0].mix.gain, -3.0f);
    EXPECT_EQ(song.tracks[0].tone.pitch, 50.0f);
    EXPECT_FALSE(song.tracks[0].tone.decay.has_value());
    EXPECT_EQ(song.tracks[1].mix.pan, -0.5f);

    const Pattern& beat = song.patterns[0];
    ASSERT_EQ(beat.steps.size(), 4u);
    EXPECT_EQ(beat.steps[0].row, 0);
    EXPECT_EQ(beat.steps[0].velocity, 1.0f);
    EXPECT_EQ(beat.steps[1].row, 2);
    EXPECT_EQ(beat.steps[1].velocity, 0.8f);
    EXPECT_EQ(beat.steps[2].velocity, 0.5f);
    EXPECT_EQ(beat.steps[3].velocity, 0.3f);

    const Pattern& chords = song.patterns[1];
    EXPECT_EQ(chords.rowsPerBeat, 2);
    ASSERT_EQ(chords.steps.size(), 4u);
    EXPECT_EQ(chords.steps[0].notes, (std::vector<int>{57, 61, 64})); // A3, C#4, E4
    EXPECT_EQ(chords.steps[0].velocity, 1.0f);
    EXPECT_EQ(chords.steps[1].notes, std::vector<int>{60});
    EXPECT_EQ(chords.steps[1].velocity, 0.5f);
    EXPECT_TRUE(chords.steps[2].notes.empty()); // the release
    EXPECT_EQ(chords.steps[2].row, 6);
    EXPECT_EQ(chords.steps[3].notes, std::vector<int>{46}); // Bb2
    EXPECT_TRUE(chords.steps[3].glide);

    ASSERT_EQ(song.tracks[0].order.size(), 2u);
    EXPECT_EQ(song.tracks[0].order[1].bar, 1);
    EXPECT_EQ(song.tracks[0].order[1].pattern, -1);
    EXPECT_EQ(song.tracks[1].curves[static_cast<size_t>(CurveTarget::Cutoff)].size(), 3u); // continued
    EXPECT_EQ(song.masterGain.size(), 1u);
}

TEST(Song, OrderListThatDoesNotFillTheSongIsAnError) {
    std::string shortOrder = twoBarSong;
    shortOrder.replace(shortOrder.find("order drums beat ."), 18, "order drums beat");
    EXPECT_EQ(errorOf(shortOrder),
              "test.song:10: the order list of track 'drums' fills 1 bars, the song has 2");

    std::string longOrder = twoBarSong;
    longOrder.replace(longOrder.find("order keys chords"), 17, "order keys chords .");
    EXPECT_EQ(errorOf(longOrder),
              "test.song:11: the order list of track 'keys' fills 3 bars, the song has 2");

    std::string noOrder = twoBarSong;
    noOrder.replace(noOrder.find("order keys chords"), 17, "");
    EXPECT_NE(errorOf(noOrder).find("track 'keys' fills 0 bars"), std::string::npos);
}

TEST(Song, DamagedSongsAreReportedWithTheirLine) {
    struct Case {
        const char* find;
        const char* replace;
        const char* message;
    };
    const Case cases[] = {
        {"pad  pan", "organ pan", "test.song:5: unknown instrument 'organ'"},
        {"pan -0.5", "pan -2", "test.song:5: pan must lie between -1 and 1"},
        {"pad  pan", "voice vowel 5 pan", "test.song:5: vowel must lie between 0 (oo) and 4 (ee)"},
        {"gain -3", "gain loud", "test.song:4: gain 'loud' is not a number"},
        {"gain -3", "volume -3", "test.song:4: unknown track setting 'volume'"},
        {"X . x .", "X . y .", "test.song:7: 'y' is not a note"},
        {"X . x .", "X . H9 .", "test.song:7: 'H9' is not a note"},
        {"X . x .", "X . C9 .", "test.song:7: 'C9' needs an octave from 0 to 8"},
        {"X . x .", "X . ! .", "test.song:7: '!' is not a note"},
        {"X . x .", "X . A2+ .", "test.song:7: 'A2+' is not a note"},
        {"X . x .", "X . A2++C3 .", "test.song:7: 'A2++C3' is not a note"},
        {"X . x . o . , .", "X . x . o . | ,", "test.song:7: bar line after row 6 of pattern 'beat'"},
        {", . . . . . . . . . |", ", . . . . . . . .",
         "test.song:6: pattern 'beat' has 15 rows, its 1 bar(s) need 16"},
        {"order keys chords", "order keys cords", "test.song:11: no pattern named 'cords'"},
        {"order keys chords", "order piano chords", "test.song:11: no track named 'piano'"},
        {"order drums beat .", "order drums beat*x", "repeat count in 'beat*x' 'x' is not a number"},
        {"0:200 1.5:800", "1.5:200 0:800", "test.song:12: curve points must go forward in bars"},
        {"0:200 1.5:800", "0:-5", "test.song:12: a cutoff must be above 0 Hz"},
        {"cutoff 1.8:900", "cutoff 1.2:900", "test.song:14: curve points must go forward in bars"},
        {"curve master gain 1:-6", "curve master cutoff 1:600", "the master has a gain curve only"},
        {"pattern chords 2", "pattern beat 2", "test.song:8: pattern 'beat' is declared twice"},
        {"tempo 133", "tempo fast", "tempo 'fast' is not a number"},
        {"tempo 133", "# no tempo", "the song needs 'tempo' and 'bars' lines"},
        {"track keys", "track drums", "test.song:5: track 'drums' is declared twice"},
        {"bars 2\n", "bars 2\nX\n", "test.song:4: 'X' is neither a directive nor part of a pattern"},
    };
    for (const Case& c : cases) {
        std::string text = twoBarSong;
        const size_t at = text.find(c.find);
        ASSERT_NE(at, std::string::npos) << c.find;
        text.replace(at, std::string(c.find).size(), c.replace);
        EXPECT_NE(errorOf(text).find(c.message), std::string::npos)
            << "edit '" << c.find << "' gave: " << errorOf(text);
    }
}

TEST(Song, MasterLineSetsTheBusAndRefusesWhatItCannotDo) {
    std::string text = twoBarSong;
    text.replace(text.find("track drums"), 0,
                 "master ceiling -2.5 lowcut 30 bass -1.5 body -2 presence 3 air 2\n");
    const Song song = parseSong(text, "test.song");
    EXPECT_EQ(song.master.ceiling, -2.5f);
    EXPECT_EQ(song.master.lowCut, 30.0f);
    EXPECT_EQ(song.master.bass, -1.5f);
    EXPECT_EQ(song.master.body, -2.0f);
    EXPECT_EQ(song.master.presence, 3.0f);
    EXPECT_EQ(song.master.air, 2.0f);
    const MasterBus plain = parseSong(twoBarSong, "test.song").master;
    EXPECT_EQ(plain.ceiling, -1.0f);
    EXPECT_EQ(plain.lowCut, 0.0f);

    const std::pair<const char*, const char*> cases[] = {
        {"master ceiling 1", "the master ceiling must lie between -24 and 0 dBFS"},
        {"master lowcut 500", "the master low cut must lie between 0 and 200 Hz"},
        {"master air 20", "the master's tone reaches 12 dB at most"},
        {"master presence -13", "the master's tone reaches 12 dB at most"},
        {"master treble 2", "unknown master setting 'treble'"},
        {"master ceiling", "master takes pairs of setting and value"},
    };
    for (const auto& [line, message] : cases) {
        std::string damaged = twoBarSong;
        damaged.replace(damaged.find("track drums"), 0, std::string(line) + "\n");
        EXPECT_NE(errorOf(damaged).find(std::string("test.song:4: ") + message), std::string::npos)
            << line << " gave: " << errorOf(damaged);
    }
}

TEST(Song, HashStartsACommentOnlyAtTheStartOfAWord) {
    const Song song = parseSong("tempo 120 # fast\nbars 1\ntrack t pad\npattern p 1\n"
                                "F#3 . . . . . . . . . . . . . . . #F#3\norder t p\n",
                                "test.song");
    ASSERT_EQ(song.patterns[0].steps.size(), 1u);
    EXPECT_EQ(song.patterns[0].steps[0].notes, std::vector<int>{54});
}

TEST(Song, ShowLengthIsEnforced) {
    Song song = parseSong(twoBarSong, "test.song");
    EXPECT_THROW(checkFitsShow(song), SongError);
    song.bars = showBars;
    song.tempo = 132;
    EXPECT_THROW(checkFitsShow(song), SongError);
    song.tempo = showTempo;
    EXPECT_NO_THROW(checkFitsShow(song));
}

TEST(Song, ShippedSongFitsTheShow) {
    const Song song = readSong(HALCYRA_SOURCE_DIR "/tools/soundtrack/muzak.song");
    EXPECT_NO_THROW(checkFitsShow(song));
    int sceneBars = 0;
    for (int beats : sceneBeats)
        sceneBars += beats / beatsPerBar;
    EXPECT_EQ(sceneBars, showBars);
}

TEST(Song, MissingFileIsReported) {
    try {
        readSong("/nonexistent/muzak.song");
        FAIL() << "no error";
    } catch (const SongError& error) {
        EXPECT_STREQ(error.what(), "/nonexistent/muzak.song: cannot open the song file");
    }
}

TEST(Curve, InterpolatesBetweenPointsAndHoldsOutsideThem) {
    const Curve curve{{2.0, 100.0f}, {4.0, 400.0f}};
    EXPECT_FLOAT_EQ(curveValue(curve, 0.0, 7.0f, false), 100.0f);
    EXPECT_FLOAT_EQ(curveValue(curve, 3.0, 7.0f, false), 250.0f);
    EXPECT_FLOAT_EQ(curveValue(curve, 3.0, 7.0f, true), 200.0f); // an octave between, halfway
    EXPECT_FLOAT_EQ(curveValue(curve, 9.0, 7.0f, false), 400.0f);
    EXPECT_FLOAT_EQ(curveValue({}, 3.0, 7.0f, false), 7.0f);
}

} // namespace
} // namespace halcyra
