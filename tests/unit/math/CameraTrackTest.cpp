#include "math/CameraTrack.h"

#include "support/Expect.h"
#include "support/MessageLog.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

using test::same;

// Keys at 0, 400 and 800 ms, as the reader builds them with its 40 ms step.
CameraTrack threeKeyTrack(int32_t mode, int32_t rollKeyCount = 0) {
    CameraTrack track(mode, 40, 3, rollKeyCount);
    const Vec3 eyes[] = {{0, 0, 0}, {40, 10, -20}, {80, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        track.keys[i].time = 400 * i;
        track.keys[i].eye = eyes[i];
        track.keys[i].target = {0, float(i), 0};
    }
    return track;
}

TEST(CameraTrack, PreparedTableHasOneSamplePerStepAndEndsOnTheLastKey) {
    for (int32_t mode : {CameraTrack::Tcb, CameraTrack::CatmullRom}) {
        CameraTrack track = threeKeyTrack(mode);
        track.prepare(0, 0, 0);
        EXPECT_TRUE(track.sampled);
        EXPECT_EQ(track.stepCount, 20);
        ASSERT_EQ(track.eyeSamples.size(), 21u);
        EXPECT_TRUE(same(track.eyeSamples[0], track.keys[0].eye));
        EXPECT_TRUE(same(track.eyeSamples[10], track.keys[1].eye));
        EXPECT_TRUE(same(track.eyeSamples[20], track.keys[2].eye));
        EXPECT_TRUE(same(track.targetSamples[20], track.keys[2].target));
    }
}

TEST(CameraTrack, AdvanceInterpolatesWithinAStep) {
    CameraTrack track = threeKeyTrack(CameraTrack::Tcb);
    track.prepare(0, 0, 0);
    track.advance(39.0f);
    EXPECT_EQ(track.sampleIndex, 0);
    EXPECT_FLOAT_EQ(track.stepTime / track.step, 0.975f);
    const Vec3 a = track.eyeSamples[0], b = track.eyeSamples[1];
    EXPECT_NEAR(track.eye.x, a.x + (b.x - a.x) * 0.975f, 1e-4f);
    EXPECT_NEAR(track.eye.y, a.y + (b.y - a.y) * 0.975f, 1e-4f);
    track.advance(40.0f);
    EXPECT_EQ(track.sampleIndex, 1);
    EXPECT_FLOAT_EQ(track.stepTime / track.step, 0.975f);
}

TEST(CameraTrack, SampledPlaybackRestartsExactlyOnTheFirstSample) {
    CameraTrack track = threeKeyTrack(CameraTrack::Tcb);
    track.prepare(0, 0, 0);
    track.advance(790.0f);
    EXPECT_EQ(track.sampleIndex, 19);
    track.advance(25.0f);
    EXPECT_EQ(track.sampleIndex, 0);
    EXPECT_EQ(track.stepTime, 0.0f);
    EXPECT_TRUE(same(track.eye, track.eyeSamples[0]));
}

TEST(CameraTrack, KeyPlaybackCarriesTheOvershootIntoTheNextLoop) {
    CameraTrack track = threeKeyTrack(0);
    track.prepare(0, 0, 0);
    EXPECT_FALSE(track.sampled);
    track.advance(815.0f);
    EXPECT_EQ(track.sampleIndex, 0);
    EXPECT_FLOAT_EQ(track.stepTime, 15.0f);
    EXPECT_NEAR(track.eye.x, 40.0f * 15.0f / 400.0f, 1e-5f);
    // A jump of several loops lands where the loops leave it.
    track.advance(4 * 800.0f + 400.0f);
    EXPECT_EQ(track.sampleIndex, 1);
    EXPECT_FLOAT_EQ(track.stepTime, 415.0f);
}

TEST(CameraTrack, LinearTableEndsOnTheLastKey) {
    CameraTrack track = threeKeyTrack(CameraTrack::Linear);
    track.prepare(0, 0, 0);
    ASSERT_EQ(track.eyeSamples.size(), 21u);
    EXPECT_TRUE(same(track.eyeSamples[20], track.keys[2].eye));
    track.advance(790.0f);
    EXPECT_NEAR(track.eye.x, 79.0f, 1e-4f);
}

TEST(CameraTrack, FewerThanTwoRollKeysKeepRollZero) {
    CameraTrack track = threeKeyTrack(CameraTrack::Tcb, 1);
    track.rollKeys[0] = {0, 45.0f};
    track.prepare(0, 0, 0);
    EXPECT_FALSE(track.hasRoll);
    track.advance(300.0f);
    EXPECT_EQ(track.roll, 0.0f);
}

TEST(CameraTrack, RollKeysBeyondThePathAreCutAtItsEnd) {
    CameraTrack track = threeKeyTrack(CameraTrack::Tcb, 3);
    track.rollKeys[0] = {0, 0.0f};
    track.rollKeys[1] = {800, 10.0f};
    track.rollKeys[2] = {1600, 20.0f};
    track.prepare(0, 0, 0);
    ASSERT_EQ(track.rollSamples.size(), 21u);
    EXPECT_EQ(track.rollSamples[20], 10.0f);
}

TEST(CameraTrack, RollKeysShorterThanThePathHoldTheirLastValue) {
    CameraTrack track = threeKeyTrack(CameraTrack::Tcb, 2);
    track.rollKeys[0] = {0, 0.0f};
    track.rollKeys[1] = {400, 30.0f};
    track.prepare(0, 0, 0);
    for (size_t k = 10; k < track.rollSamples.size(); ++k)
        EXPECT_EQ(track.rollSamples[k], 30.0f) << "sample " << k;
    track.advance(420.0f);
    EXPECT_NEAR(track.roll, 30.0f, 1e-5f);
}

TEST(CameraTrack, KeyModeRollStopsAtItsLastSegment) {
    CameraTrack track = threeKeyTrack(0, 2);
    track.rollKeys[0] = {0, 0.0f};
    track.rollKeys[1] = {200, 40.0f};
    track.prepare(0, 0, 0);
    track.advance(100.0f);
    EXPECT_NEAR(track.roll, 20.0f, 1e-5f);
    track.advance(500.0f);
    EXPECT_EQ(track.rollKeyIndex, 0);
    EXPECT_EQ(track.roll, 40.0f);
}

TEST(CameraTrack, BrokenKeysAreReportedAndTheCameraHoldsStill) {
    test::MessageLog log;
    CameraTrack empty(CameraTrack::Tcb, 40, 0, 0);
    empty.prepare(0, 0, 0);
    empty.advance(100.0f);
    EXPECT_TRUE(same(empty.eye, Vec3{}));

    CameraTrack shuffled = threeKeyTrack(CameraTrack::Tcb);
    shuffled.keys[2].time = 200;
    shuffled.prepare(0, 0, 0);
    shuffled.advance(300.0f);
    EXPECT_TRUE(same(shuffled.eye, shuffled.keys[0].eye));

    CameraTrack noStep = threeKeyTrack(CameraTrack::CatmullRom);
    noStep.step = 0;
    noStep.prepare(0, 0, 0);
    noStep.advance(300.0f);
    EXPECT_TRUE(same(noStep.eye, noStep.keys[0].eye));

    EXPECT_EQ(log.texts(),
              (std::vector<std::string>{"camera track has no keys", "camera track keys are not in time order",
                                        "camera track step must be positive"}));
}

TEST(CameraTrack, SingleKeyIsAStillCamera) {
    test::MessageLog log;
    for (int32_t mode : {0, 1, 2, 3}) {
        CameraTrack track(mode, 40, 1, 0);
        track.keys[0].eye = {1, 2, 3};
        track.keys[0].target = {4, 5, 6};
        track.prepare(0, 0, 0);
        track.advance(1000.0f);
        EXPECT_TRUE(same(track.eye, track.keys[0].eye));
        EXPECT_TRUE(same(track.target, track.keys[0].target));
    }
    EXPECT_TRUE(log.messages().empty());
}

} // namespace
} // namespace halcyra
