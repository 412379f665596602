#include "scenes/CreditsScene.h"
#include "scenes/CubeRainScene.h"
#include "scenes/GreetingsScene.h"
#include "scenes/MetaballScene.h"
#include "scenes/OpeningScene.h"
#include "scenes/PlanetScene.h"
#include "scenes/ShowScene.h"
#include "scenes/WaterScene.h"
#include "show/ShowLayout.h"
#include "soundtrack/Song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace halcyra {
namespace {

// The scenes' code, the music and the layout they share agree: every scene lasts its beats of the shipped
// song, the planet's torus is gone on the music's silent beat, the screen turns white on its hit, and the
// title and the credits' beat come in on the eighth bar.
TEST(ShowLayout, TheScenesKeepTheMusicsBeatsAndMoments) {
    const Song song = readSong(HALCYRA_SOURCE_DIR "/tools/soundtrack/muzak.song");
    const double beatMs = 60000.0 / song.tempo;
    const float lengths[] = {OpeningScene::length, CreditsScene::length,  MetaballScene::length,
                             WaterScene::length,   CubeRainScene::length, GreetingsScene::length,
                             PlanetScene::length};
    int beats = 0;
    for (int i = 0; i < 7; ++i) {
        // A float ms holds the beats to a thousandth or two.
        EXPECT_NEAR(lengths[i], show::sceneBeats[static_cast<size_t>(i)] * beatMs, 0.002)
            << "scene " << i + 1;
        beats += show::sceneBeats[static_cast<size_t>(i)];
    }
    EXPECT_EQ(beats, song.bars * 4) << "the song fills the scenes to the bar";

    const int planetBeat = beats - show::sceneBeats[6];
    const auto planetTime = [&](double beat) { return static_cast<float>((beat - planetBeat) * beatMs); };
    EXPECT_NEAR(PlanetScene::torusRadius(planetTime(show::silentBeat)), 0.0f, 0.5f);
    EXPECT_GT(PlanetScene::torusRadius(planetTime(show::silentBeat - 0.5)), 20.0f);
    EXPECT_LT(PlanetScene::backgroundGrey(planetTime(show::whiteScreenBeat) - 20.0f), 0.9f);
    EXPECT_EQ(PlanetScene::backgroundGrey(planetTime(show::whiteScreenBeat) + 1.0f), 1.0f);

    const float eighthBar = static_cast<float>(8 * 4 * beatMs);
    EXPECT_EQ(OpeningScene::titleFactor(eighthBar - 1.0f), 0.0f);
    EXPECT_GT(OpeningScene::titleFactor(eighthBar + 100.0f), 0.0f);
    EXPECT_NEAR(CreditsScene::beatStart, eighthBar, 1.0f);
    EXPECT_NEAR(CreditsScene::beatLength, beatMs, 0.05);
}

TEST(NoiseStrength, FallsOverEachWindowAndJumpsBackAtItsEnd) {
    EXPECT_FLOAT_EQ(noiseStrengthAt(0.0f), 0.4f);
    EXPECT_NEAR(noiseStrengthAt(2165.4f), 0.25f, 1e-4f);
    EXPECT_NEAR(noiseStrengthAt(4330.8f), 0.1f, 1e-4f);
    EXPECT_NEAR(noiseStrengthAt(14435.0f), 0.1f, 1e-6f);
    EXPECT_FLOAT_EQ(noiseStrengthAt(14436.0f), 0.4f);
    EXPECT_FLOAT_EQ(noiseStrengthAt(28872.5f), 0.4f);
}

TEST(CloudIndex, StepsEverySevenMillisecondsAndWraps) {
    EXPECT_EQ(cloudIndex(0.0f, 5, 1000), 5);
    EXPECT_EQ(cloudIndex(6.9f, 0, 1000), 0);
    EXPECT_EQ(cloudIndex(7.0f, 0, 1000), 1);
    EXPECT_EQ(cloudIndex(7000.0f, 999, 1000), 999);
    EXPECT_EQ(cloudIndex(7000.0f, 1000, 2000), 0);
}

TEST(CubeColors, TealTealSteel) {
    EXPECT_FLOAT_EQ(cubeColors().rgb[0][2], 0.3f);
    EXPECT_FLOAT_EQ(cubeColors().rgb[1][1], 0.2f);
    EXPECT_FLOAT_EQ(cubeColors().rgb[2][0], 0.06f);
}

TEST(OpeningScene, TitleFadesInOverFourSecondsFromTheCut) {
    EXPECT_FLOAT_EQ(OpeningScene::titleFactor(14436.0f), 0.0f);
    EXPECT_FLOAT_EQ(OpeningScene::titleFactor(16436.0f), 0.5f);
    EXPECT_FLOAT_EQ(OpeningScene::titleFactor(18436.0f), 1.0f);
    EXPECT_FLOAT_EQ(OpeningScene::titleFactor(21000.0f), 1.0f);
    EXPECT_NEAR(OpeningScene::scrollU(OpeningScene::length), 1.2738, 1e-3);
    EXPECT_FLOAT_EQ(OpeningScene::scrollW(0.0f), 0.0f);
    const Vec3 eye = OpeningScene::eyeAt(0.0f);
    EXPECT_FLOAT_EQ(eye.y, 50.0f);
    EXPECT_FLOAT_EQ(eye.x, 0.0f);
}

TEST(CreditsBeat, OneHitPerBeatShrinksAndGrowsTheSphereAndPumpsTheGlow) {
    CreditsScene::Beat beat;
    float glow = 1.05f;
    glow = beat.advance(100.0f, glow);
    EXPECT_FLOAT_EQ(beat.beatClock, 100.0f);
    EXPECT_FLOAT_EQ(beat.sphereRadius, -3.0f);
    EXPECT_FLOAT_EQ(glow, 1.05f);
    glow = beat.advance(351.2f, glow);
    EXPECT_NEAR(beat.beatClock, 0.09f, 1e-3f);
    EXPECT_EQ(beat.lineShift, 1);
    EXPECT_NEAR(glow, 0.85f, 1e-6f);
    EXPECT_NEAR(beat.sphereRadius, -2.0f - 4.512f + 5.5f, 1e-4f);
    // The glow recovers by 1/900 per ms and stays clamped at 1.05.
    glow = beat.advance(90.0f, glow);
    EXPECT_NEAR(glow, 0.95f, 1e-5f);
}

TEST(CreditsBeat, LongFrameHitsOnceAndKeepsTheExcess) {
    CreditsScene::Beat beat;
    beat.advance(1000.0f, 1.0f);
    EXPECT_NEAR(beat.beatClock, 1000.0f - 451.11f, 1e-3f);
    EXPECT_EQ(beat.lineShift, 1);
    for (int i = 0; i < 2; ++i)
        beat.advance(500.0f, 1.0f);
    EXPECT_EQ(beat.lineShift, 0) << "the shift counts 0, 1, 2 and wraps";
}

TEST(CreditsBeat, SphereAppearsAboutThreeBeatsInAndGrowsAboutOnePerBeat) {
    // The beat runs from 14,436 ms to the scene's end: 64 beats.
    CreditsScene::Beat beat;
    int firstPositiveBeat = -1;
    float largest = 0.0f;
    const int frames = static_cast<int>((CreditsScene::length - CreditsScene::beatStart) / 10.0f) + 1;
    for (int frame = 1; frame <= frames; ++frame) {
        beat.advance(10.0f, 1.0f);
        if (firstPositiveBeat < 0 && beat.sphereRadius > 0.0f)
            firstPositiveBeat = static_cast<int>(frame * 10.0f / 451.11f);
        largest = std::max(largest, beat.sphereRadius);
    }
    EXPECT_EQ(firstPositiveBeat, 3);
    EXPECT_NEAR(largest, 61.3f, 1.0f);
}

TEST(CreditsBeat, LastSecondGlowFallsFrom105To065) {
    EXPECT_NEAR(CreditsScene::lastSecondBlurStrength(CreditsScene::length - 1000.0f), 1.05f, 1e-5f);
    EXPECT_NEAR(CreditsScene::lastSecondBlurStrength(CreditsScene::length), 0.65f, 1e-3f);
}

TEST(MetaballScene, BallsFollowTheirPathsAndLeaveUnwrittenCoordinatesAlone) {
    MetaballField field;
    field.create(6, 30, 10.0f, 3.0f);
    MetaballScene::placeBalls(field, 0.0f);
    EXPECT_FLOAT_EQ(field.balls[0].position.x, -2.0f);
    EXPECT_FLOAT_EQ(field.balls[0].position.y, -2.0f);
    EXPECT_FLOAT_EQ(field.balls[0].position.z, 0.0f);
    EXPECT_FLOAT_EQ(field.balls[1].position.y, -7.0f);
    EXPECT_FLOAT_EQ(field.balls[1].position.z, 5.3f);
    EXPECT_FLOAT_EQ(field.balls[3].position.x, 4.0f);
    EXPECT_FLOAT_EQ(field.balls[5].position.y, 0.0f);
    EXPECT_FLOAT_EQ(field.balls[5].position.z, 3.0f);
    const float t = 1234.5f;
    MetaballScene::placeBalls(field, t);
    EXPECT_FLOAT_EQ(field.balls[4].position.z,
                    2.0f * std::cos(t * 0.0016666667f) - 5.0f * std::sin(t * 0.00125f));
}

TEST(MetaballScene, GlowRisesInTheFirstSecondAndTheViewNarrowsInTheLast) {
    EXPECT_NEAR(MetaballScene::firstSecondBlurStrength(0.0f), 0.55f, 1e-6f);
    EXPECT_NEAR(MetaballScene::firstSecondBlurStrength(999.0f), 0.9496f, 1e-4f);
    EXPECT_LT(MetaballScene::firstSecondBlurStrength(1000.0f), 0.0f);
    EXPECT_LT(MetaballScene::lastSecondFov(MetaballScene::length - 1000.0f), 0.0f);
    EXPECT_NEAR(MetaballScene::lastSecondFov(MetaballScene::length - 500.0f), 75.0f, 1e-3f);
    EXPECT_NEAR(MetaballScene::lastSecondFov(MetaballScene::length), 50.0f, 1e-3f);
    EXPECT_FLOAT_EQ(MetaballScene::surfaceOffset(0.0f).y, 40.0f);
}

TEST(WaterScene, FieldOfViewOpensOnAQuarterSineAndTheWaterScrollsSlowly) {
    EXPECT_LT(WaterScene::lastSecondFov(WaterScene::length - 1000.0f), 0.0f);
    EXPECT_NEAR(WaterScene::lastSecondFov(WaterScene::length - 500.0f), 80.0f + 100.0f * std::sin(0.785398f),
                1e-2f);
    EXPECT_NEAR(WaterScene::lastSecondFov(WaterScene::length), 180.0f, 1e-2f);
    EXPECT_NEAR(WaterScene::scroll(WaterScene::length), 0.3609f, 1e-3f);
    EXPECT_NEAR(WaterScene::scroll(90000.0f), 0.125f, 1e-5f);
}

TEST(CubeRainPulse, AccentsAtOneTwoPointSevenFiveAndThreePointFiveBeats) {
    CubeRainScene::Pulse pulse;
    std::vector<float> kicks;
    float before = 0.0f;
    for (int frame = 1; frame <= 1805; ++frame) {
        pulse.advance(1.0f);
        if (pulse.pulse > before)
            kicks.push_back(static_cast<float>(frame));
        before = pulse.pulse;
    }
    EXPECT_EQ(kicks, (std::vector<float>{452.0f, 1241.0f, 1579.0f}));
    EXPECT_FALSE(pulse.beatFlags[0]) << "the bar ended and cleared the flags";
}

TEST(CubeRainPulse, DecaysTwelveAndAHalfPerSecondAndOneRuleFiresPerFrame) {
    CubeRainScene::Pulse pulse;
    pulse.advance(1600.0f);
    EXPECT_FLOAT_EQ(pulse.pulse, 4.0f);
    EXPECT_TRUE(pulse.beatFlags[2]);
    EXPECT_FALSE(pulse.beatFlags[0]);
    pulse.advance(80.0f);
    EXPECT_FLOAT_EQ(pulse.pulse, 7.0f);
    pulse.advance(2000.0f);
    EXPECT_NEAR(pulse.beatClock, 1680.0f + 2000.0f - 1804.5114f, 1e-2f);
    EXPECT_FLOAT_EQ(pulse.pulse, 0.0f);
}

TEST(CubeRainScene, FieldOfViewRules) {
    EXPECT_FLOAT_EQ(CubeRainScene::fovAt(0.0f), 180.0f);
    EXPECT_NEAR(CubeRainScene::fovAt(999.0f), 110.07f, 1e-3f);
    EXPECT_LT(CubeRainScene::fovAt(1000.0f), 0.0f);
    EXPECT_LT(CubeRainScene::fovAt(24000.0f), 0.0f);
    EXPECT_NEAR(CubeRainScene::fovAt(25000.0f), 180.0f, 1e-3f);
    EXPECT_NEAR(CubeRainScene::fovAt(25999.0f), 110.11f, 1e-2f);
    EXPECT_NEAR(CubeRainScene::fovAt(CubeRainScene::length), 180.0f, 1e-2f);
    EXPECT_FLOAT_EQ(CubeRainScene::cubePosition(0, 0.0f).y, 80.0f);
    EXPECT_NEAR(CubeRainScene::cubePosition(1, 0.0f).y, 80.0f - 111.0f * 0.013333334f, 1e-4f);
    EXPECT_NEAR(CubeRainScene::cubePosition(0, 15000.0f).y, 80.0f, 1e-4f);
}

TEST(GreetingsClocks, EightGreetingsWithACutOfTheOrbitAtEachChange) {
    GreetingsScene::Clocks clocks;
    clocks.advance(3609.0f);
    EXPECT_EQ(clocks.greetIndex, 0);
    clocks.advance(0.008f);
    EXPECT_EQ(clocks.greetIndex, 0) << "the slot must be exceeded, not reached";
    clocks.advance(1.0f);
    EXPECT_EQ(clocks.greetIndex, 1);
    EXPECT_NEAR(clocks.cameraClock, 3610.008f + 3240.0f, 1e-2f);
    EXPECT_NEAR(clocks.greetClock, 0.992f, 1e-2f);
    clocks.advance(10000.0f);
    EXPECT_EQ(clocks.greetIndex, 2) << "a long frame advances one greeting";
}

TEST(GreetingsClocks, LastGreetingBeginsJustAfterTheOrbitWidens) {
    GreetingsScene::Clocks clocks;
    float t = 0.0f;
    float lastStart = -1.0f;
    while (t + 1.0f < GreetingsScene::length) {
        const int before = clocks.greetIndex;
        clocks.advance(1.0f);
        t += 1.0f;
        if (clocks.greetIndex != before && clocks.greetIndex == 7)
            lastStart = t;
    }
    EXPECT_EQ(clocks.greetIndex, 7);
    EXPECT_GT(lastStart, GreetingsScene::widerOrbitTime);
    const Vec3 narrow = GreetingsScene::eyeAt(1000.0f, 25263.0f);
    const Vec3 wide = GreetingsScene::eyeAt(1000.0f, 25263.05f);
    EXPECT_NEAR(wide.x / narrow.x, 17.0f / 11.0f, 1e-4f);
}

TEST(PlanetScene, TorusCollapsesAndOpensToTwiceItsSize) {
    EXPECT_FLOAT_EQ(PlanetScene::torusRadius(33089.0f), 200.0f);
    EXPECT_NEAR(PlanetScene::torusRadius(33090.0f), 220.0f, 1e-3f);
    EXPECT_NEAR(PlanetScene::torusRadius(36089.0f), 0.0f, 0.2f);
    EXPECT_NEAR(PlanetScene::torusRadius(36090.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(PlanetScene::torusRadius(40801.0f), 400.0f, 0.1f);
    EXPECT_FLOAT_EQ(PlanetScene::torusRadius(50000.0f), 400.0f);
}

TEST(PlanetScene, GlideBackgroundAndLogo) {
    EXPECT_LT(PlanetScene::glideShare(25090.0f), 0.0f);
    EXPECT_NEAR(PlanetScene::glideShare(29090.0f), 0.5f, 1e-6f);
    EXPECT_NEAR(PlanetScene::glideShare(33089.0f), 0.999875f, 1e-6f);
    EXPECT_LT(PlanetScene::glideShare(33090.0f), 0.0f);
    EXPECT_LT(PlanetScene::backgroundGrey(41090.0f), 0.0f);
    EXPECT_NEAR(PlanetScene::backgroundGrey(45000.0f), 0.391f, 1e-4f);
    EXPECT_FLOAT_EQ(PlanetScene::backgroundGrey(45000.5f), 1.0f);
    // The gentle show fades from that grey into white over a quarter of a second instead.
    EXPECT_NEAR(PlanetScene::backgroundGrey(45000.5f, true), 0.392f, 1e-3f);
    EXPECT_NEAR(PlanetScene::backgroundGrey(45125.0f, true), 0.6955f, 1e-4f);
    EXPECT_FLOAT_EQ(PlanetScene::backgroundGrey(45250.0f, true), 1.0f);
    EXPECT_FLOAT_EQ(PlanetScene::backgroundGrey(50000.0f, true), 1.0f);
    EXPECT_NEAR(PlanetScene::backgroundGrey(45000.0f, true), 0.391f, 1e-4f);
    EXPECT_FLOAT_EQ(PlanetScene::logoFactor(45000.0f), 1.0f);
    EXPECT_FLOAT_EQ(PlanetScene::logoFactor(46000.0f), 0.5f);
    EXPECT_FLOAT_EQ(PlanetScene::logoFactor(47000.0f), 0.0f);
}

TEST(PlanetScene, GlowSinksThenSwells) {
    float glow = 1.05f;
    float t = 0.0f;
    for (; t < PlanetScene::length; t += 10.0f)
        glow = PlanetScene::rampBlurStrength(t, 10.0f, glow);
    EXPECT_NEAR(glow, 0.48f + (PlanetScene::length - 38490.0f) / 3000.0f, 0.05f);
    EXPECT_FLOAT_EQ(PlanetScene::rampBlurStrength(20000.0f, 10.0f, 1.05f), 1.05f);
    EXPECT_NEAR(PlanetScene::rampBlurStrength(36000.0f, 600.0f, 1.05f), 0.95f, 1e-5f);
    EXPECT_FLOAT_EQ(PlanetScene::rampBlurStrength(38490.0f, 300.0f, 1.0f), 1.1f);
}

} // namespace
} // namespace halcyra
