// The built soundtrack, decoded the way the show plays it.
#include "soundtrack/Instrument.h"
#include "soundtrack/Loudness.h"
#include "soundtrack/Mp3Decoder.h"
#include "soundtrack/Sequencer.h"
#include "soundtrack/Song.h"
#include "soundtrack/SongRenderer.h"
#include "soundtrack/SongReport.h"
#include "timeline/MusicStream.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <string>

namespace halcyra {
namespace {

const char* const muzakPath = HALCYRA_DATA_DIR "/muzak.mp3";

// Frame of beat `beat` of the show: a beat is 44,100 × 60 / 133 frames.
size_t beatFrame(double beat) {
    return static_cast<size_t>(std::lround(beat * 44100.0 * 60.0 / 133.0));
}

class Muzak : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(muzakPath))
            << muzakPath << " is missing: build the 'muzak' target";
        decoded = decodeMp3(muzakPath);
        mono.resize(decoded.left.size());
        for (size_t n = 0; n < mono.size(); ++n)
            mono[n] = 0.5f * (decoded.left[n] + decoded.right[n]);
    }

    double rmsDb(size_t begin, size_t end) const {
        double energy = 0.0;
        for (size_t n = begin; n < end; ++n)
            energy += 0.5 * (decoded.left[n] * decoded.left[n] + decoded.right[n] * decoded.right[n]);
        return 10.0 * std::log10(std::max(energy / static_cast<double>(end - begin), 1.0e-30));
    }

    DecodedMp3 decoded;
    std::vector<float> mono;
};

// The lag in [−range, range] at which `probe` best matches `signal` from `at` on.
int bestLag(const std::vector<float>& signal, size_t at, const std::vector<float>& probe, int range) {
    int best = 0;
    double bestScore = -1.0e30;
    for (int lag = -range; lag <= range; ++lag) {
        double score = 0.0;
        for (size_t k = 0; k < probe.size(); ++k)
            score +=
                static_cast<double>(probe[k]) * signal[at + static_cast<size_t>(lag + range) + k - range];
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

// The master figures of the decoded file, measured once per test program.
const MasterFigures& masterFigures(const DecodedMp3& decoded) {
    static const MasterFigures figures = measureMaster({decoded.left, decoded.right});
    return figures;
}

TEST_F(Muzak, DecodesToTheShowsLength) {
    EXPECT_EQ(decoded.sampleRate, 44100);
    EXPECT_EQ(decoded.channels, 2);
    Song show;
    show.tempo = showTempo;
    show.bars = showBars;
    EXPECT_EQ(decoded.left.size(), static_cast<size_t>(songFrames(show))); // 10,265,684 frames
}

TEST_F(Muzak, TruePeakStaysUnderMinusOneDbtpWhenDecoded) {
    // The limiter's ceiling leaves the encoder room for its own error, measured between the frames too.
    EXPECT_LE(masterFigures(decoded).truePeak, -1.0);
}

TEST_F(Muzak, LoudnessFollowsTheShow) {
    const MasterFigures& figures = masterFigures(decoded);
    EXPECT_GE(figures.integrated, -14.0);
    EXPECT_LE(figures.integrated, -10.0);
    EXPECT_GE(figures.range.range(), 6.0);
    const auto part = [&](const char* name) {
        const auto at = std::find_if(partNames.begin(), partNames.end(),
                                     [&](const char* candidate) { return std::string(candidate) == name; });
        return figures.partLoudness[static_cast<size_t>(at - partNames.begin())];
    };
    // The planet's climax is the loudest stretch, clearly over the metaballs and well over the greetings and
    // their break, so that it arrives as an event; the water breathes.
    for (const double loudness : figures.partLoudness)
        EXPECT_LE(loudness, part("planet, climax"));
    EXPECT_GE(part("planet, climax"), part("metaballs") + 1.0);
    EXPECT_GE(part("planet, climax"), part("greetings") + 2.0);
    EXPECT_LE(part("water"), part("metaballs") - 3.0);
    EXPECT_LE(part("water"), part("cube rain") - 3.0);
}

TEST_F(Muzak, BassAndTrebleBalanceTheMiddle) {
    const MasterFigures& figures = masterFigures(decoded);
    EXPECT_LE(figures.lowBand - figures.middleBand, 1.5);
    EXPECT_GE(figures.highBand - figures.middleBand, -8.0);
    // Through the climax's first eight bars the level per octave falls above 5 kHz: the top shines, it does
    // not hiss.
    const auto band = [&](double low, double high) {
        return bandLevelDb(decoded.left, decoded.right, beatFrame(400), beatFrame(432), 44100.0, low, high);
    };
    EXPECT_LT(band(5600.0, 11200.0), band(2800.0, 5600.0));
    EXPECT_LT(band(11200.0, 0.0), band(5600.0, 11200.0));
    // In every scene the 4 kHz and 8 kHz octaves sit 3 to 7 dB under the 1 kHz octave: a top that shines
    // without tiring, over a middle that carries the tunes.
    double begin = 0.0;
    for (size_t scene = 0; scene < sceneBeats.size(); ++scene) {
        const double end = begin + sceneBeats[scene];
        const auto octave = [&](double centre) {
            return bandLevelDb(decoded.left, decoded.right, beatFrame(begin), beatFrame(end), 44100.0,
                               centre / std::sqrt(2.0), centre * std::sqrt(2.0));
        };
        const double middle = octave(1000.0);
        for (const double top : {octave(4000.0), octave(8000.0)}) {
            EXPECT_LE(top, middle - 3.0) << "scene " << scene + 1;
            EXPECT_GE(top, middle - 7.0) << "scene " << scene + 1;
        }
        begin = end;
    }
}

TEST_F(Muzak, TheClimaxTowersOverEverySceneAndLiftsAgainAtItsTop) {
    // The climax, bars 100 to 113 of the planet scene, stands at least 3 LU over each scene before it, and
    // its top from bar 108 lifts again over its first eight bars.
    const auto loudness = [&](double fromBeat, double toBeat) {
        return integratedLoudness(decoded.left, decoded.right, beatFrame(fromBeat), beatFrame(toBeat),
                                  44100.0);
    };
    const double climax = loudness(400.0, 456.0);
    double begin = 0.0;
    for (size_t scene = 0; scene + 1 < sceneBeats.size(); ++scene) {
        EXPECT_GE(climax, loudness(begin, begin + sceneBeats[scene]) + 3.0) << "scene " << scene + 1;
        begin += sceneBeats[scene];
    }
    EXPECT_GE(loudness(432.0, 456.0), loudness(400.0, 432.0) + 0.5);
}

TEST_F(Muzak, TheTorusFallsIntoASilentBeatAndTheWhiteScreenHits) {
    const MasterFigures& figures = masterFigures(decoded);
    EXPECT_LT(figures.silentBeatLevel, -45.0);
    EXPECT_GE(figures.hitRise, 4.0);
    EXPECT_GE(figures.hitBrightening, 0.0); // the hit is brighter than the riser before it
}

TEST_F(Muzak, EveryMarkedBeatStartsASoundOnItsMoment) {
    EXPECT_LE(masterFigures(decoded).onsetError, 5.0);
}

TEST_F(Muzak, DecodesInStepWithTheRender) {
    // The first two seconds, rendered again, line up with the decoded file to the frame: what the player
    // adds at the start has been measured and compensated.
    RenderOptions options;
    options.frames = 2 * 44100;
    const StereoBuffer render =
        renderSong(readSong(HALCYRA_SOURCE_DIR "/tools/soundtrack/muzak.song"), options);
    std::vector<float> probe(render.left.begin() + 2205, render.left.begin() + 2205 + 44100);
    std::vector<float> left(decoded.left.begin(), decoded.left.begin() + 3 * 44100);
    EXPECT_EQ(bestLag(left, 2205, probe, 2205), 0);
}

TEST_F(Muzak, NeverFallsSilentForASecondBeforeTheEnding) {
    // The ending starts with the white screen, 45,000 ms into the last scene: beat 400 + 99.75.
    const size_t ending = beatFrame(499.75);
    const size_t window = 4410;
    size_t quiet = 0;
    for (size_t at = 0; at + window <= ending; at += window) {
        quiet = rmsDb(at, at + window) < -50.0 ? quiet + window : 0;
        ASSERT_LE(quiet, 44100u) << "silent up to " << static_cast<double>(at + window) / 44100.0 << " s";
    }
    EXPECT_GT(rmsDb(ending, ending + 44100), -30.0); // the white screen gets its chord
    const size_t end = decoded.left.size();
    EXPECT_LT(rmsDb(end - 22050, end), -60.0); // and the ending has decayed before the show ends
}

TEST_F(Muzak, SectionsFollowThePicture) {
    // The intro opens up: the title card (beat 32) is louder than the opening before it.
    EXPECT_GT(rmsDb(beatFrame(32), beatFrame(48)), rmsDb(beatFrame(4), beatFrame(32)) + 3.0);
    // The credits' beat, from their beat 32, drives harder than the bars before it.
    EXPECT_GT(rmsDb(beatFrame(80), beatFrame(144)), rmsDb(beatFrame(48), beatFrame(80)) + 2.0);
    // The planet vanishes (beat 81 of the last scene) into a break well below the climax.
    EXPECT_LT(rmsDb(beatFrame(484), beatFrame(488)), rmsDb(beatFrame(400), beatFrame(456)) - 6.0);
}

TEST_F(Muzak, KickOnsetsInTheCreditsGrooveFallOnTheBeat) {
    // A kick as the song's kick track sounds it, matched against the decoded mix around every beat from
    // beat 32 of the credits scene to its end, where the sphere pulses once a beat.
    const Song song = readSong(HALCYRA_SOURCE_DIR "/tools/soundtrack/muzak.song");
    const Track* kickTrack = nullptr;
    for (const Track& track : song.tracks) {
        if (track.kind == InstrumentKind::Kick)
            kickTrack = &track;
    }
    ASSERT_NE(kickTrack, nullptr);
    auto kick = makeInstrument(kickTrack->kind, kickTrack->tone, 1);
    std::vector<float> probe(1764), unused(1764); // 40 ms
    kick->play({60}, 1.0f, false);
    kick->render(probe.data(), unused.data(), static_cast<int>(probe.size()));
    for (int beat = 80; beat < 144; ++beat) {
        const int lag = bestLag(mono, beatFrame(beat), probe, 662);
        EXPECT_LE(std::abs(lag), 88) << "beat " << beat << " is " << lag / 44.1 << " ms off"; // 2 ms
    }
}

// Collects what SDL2_mixer plays from the first callback in which the music runs.
struct Capture {
    std::vector<int16_t> samples;
    size_t wanted = 0;
    bool started = false;
    std::atomic<bool> done{false};
};

void SDLCALL capturePlayback(void* data, Uint8* stream, int length) {
    auto* capture = static_cast<Capture*>(data);
    if (capture->done.load(std::memory_order_acquire))
        return;
    // The player's first start plays muted while the device settles, then starts again at full volume.
    if (!capture->started &&
        (!Mix_PlayingMusic() || Mix_PausedMusic() || Mix_VolumeMusic(-1) < MIX_MAX_VOLUME))
        return;
    capture->started = true;
    const auto* samples = reinterpret_cast<const int16_t*>(stream);
    capture->samples.insert(capture->samples.end(), samples, samples + length / 2);
    if (capture->samples.size() >= capture->wanted)
        capture->done.store(true, std::memory_order_release);
}

TEST_F(Muzak, ShowsPlayerStartsTheFirstBeatWithTheFirstFrame) {
    // The show's own MusicStream on SDL2_mixer (the dummy driver plays in real time): the first beat must
    // be heard within 5 ms of the moment playback starts, which is when the first scene's first frame runs.
    MusicStream& music = MusicStream::instance();
    music.open(muzakPath);
    ASSERT_NE(music.stream, nullptr);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    ASSERT_EQ(rate, 44100);
    ASSERT_EQ(channels, 2);
    ASSERT_EQ(format, AUDIO_S16SYS);
    Capture capture;
    capture.wanted = 2 * 44100 / 2; // half a second, both channels
    Mix_SetPostMix(capturePlayback, &capture);
    music.play();
    for (int waited = 0; waited < 10000 && !capture.done.load(std::memory_order_acquire); waited += 10)
        SDL_Delay(10);
    Mix_SetPostMix(nullptr, nullptr);
    music.stop();
    music.release();
    MusicStream::destroy();
    ASSERT_TRUE(capture.done.load(std::memory_order_acquire)) << "the player produced no music";

    std::vector<float> played(capture.samples.size() / 2);
    for (size_t n = 0; n < played.size(); ++n)
        played[n] = capture.samples[2 * n] / 32768.0f;
    size_t first = 0;
    while (first < played.size() && std::fabs(played[first]) < 0.01f)
        ++first;
    EXPECT_LT(first, 221u) << "first sound " << first / 44.1 << " ms after playback started";
    // Sample for sample what libmpg123 decodes, so the measured start offset holds for the show.
    std::vector<float> probe(decoded.left.begin() + 4410, decoded.left.begin() + 4410 + 8820);
    EXPECT_EQ(bestLag(played, 4410, probe, 2205), 0);
}

} // namespace
} // namespace halcyra
