#include "timeline/AdaptiveQuality.h"

#include "show/ShowLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace halcyra {
namespace {

constexpr double budget = 1000.0 / 30.0;
constexpr double squareTargets = 1024.0 * 1024.0; // the 4:3 mode draws into 1024 x 1024 targets

struct Change {
    double playing;
    double scale;
};

// Frames of `ms` each for `seconds` of play; the scene began `sinceCut` ms before the first.
std::vector<Change> play(AdaptiveQuality& quality, double ms, double seconds, double& playing,
                         double sinceCut = 1.0e6, bool steady = false) {
    std::vector<Change> changes;
    for (const double end = playing + seconds * 1000.0; playing < end; sinceCut += ms) {
        playing += ms;
        if (quality.frameDone(ms, playing, steady, sinceCut))
            changes.push_back({playing, quality.scale()});
    }
    return changes;
}

TEST(AdaptiveQuality, ShrinksCalmlyWhileFramesRunOverAndNeverBelowAQuarterOfThePicture) {
    AdaptiveQuality quality(budget, 1024, 768, squareTargets);
    double playing = 0.0;
    const std::vector<Change> changes = play(quality, 120.0, 30.0, playing);
    ASSERT_GE(changes.size(), 3u);
    double before = 1.0;
    double last = -1.0e9;
    for (const Change& change : changes) {
        EXPECT_LT(change.scale, before) << "frames over their time only shrink the picture";
        EXPECT_GE(change.scale, before * AdaptiveQuality::stepScale - 1e-9) << "a step of a fifth at most";
        EXPECT_GE(change.playing - last, AdaptiveQuality::settleMs) << "one change a second at most";
        before = change.scale;
        last = change.playing;
    }
    EXPECT_DOUBLE_EQ(quality.scale(), AdaptiveQuality::floorScale);
    EXPECT_EQ(quality.width(), 512);
    EXPECT_EQ(quality.height(), 384);
}

TEST(AdaptiveQuality, AfterACutTheSizeGoesStraightToWhatTheFramesAllow) {
    AdaptiveQuality quality(budget, 1280, 720, squareTargets);
    double playing = 0.0;
    const std::vector<Change> changes = play(quality, 90.0, 0.6, playing, 0.0);
    ASSERT_EQ(changes.size(), 1u);
    // 90 ms at the whole picture's 1024 x 1024 targets: the area that fits 85 % of the budget.
    const double wanted = std::sqrt(squareTargets * 0.85 * budget / 90.0 / (1280.0 * 720.0));
    EXPECT_NEAR(changes[0].scale, wanted, 0.01);
    EXPECT_EQ(quality.width() % 2, 0);
    EXPECT_EQ(quality.height() % 2, 0);
    EXPECT_NEAR(static_cast<double>(quality.width()) / quality.height(), 1280.0 / 720.0, 0.01);
}

TEST(AdaptiveQuality, GrowsBackToTheWholePictureWhenThereIsRoomAndHoldsStillInSteadyMoments) {
    AdaptiveQuality quality(budget, 1024, 768, squareTargets);
    double playing = 0.0;
    play(quality, 120.0, 20.0, playing);
    ASSERT_LT(quality.scale(), 0.6);
    EXPECT_TRUE(play(quality, 5.0, 10.0, playing, 1.0e6, true).empty()) << "no change on the way to white";
    const std::vector<Change> growth = play(quality, 5.0, 10.0, playing);
    ASSERT_FALSE(growth.empty());
    for (size_t i = 1; i < growth.size(); ++i)
        EXPECT_LE(growth[i].scale, growth[i - 1].scale / AdaptiveQuality::stepScale + 1e-9);
    EXPECT_TRUE(quality.full()) << "back to the show's own targets";
    EXPECT_EQ(quality.width(), 1024);
}

// A machine whose frames cost what their pixels cost (100 ms for the whole picture, 1/10 of that fixed):
// the size settles where the frames fit, and then stays, without see-sawing between two sizes.
TEST(AdaptiveQuality, SettlesWhereTheFramesFitAndStays) {
    AdaptiveQuality quality(budget, 1024, 768, squareTargets);
    const auto cost = [&] {
        const double area =
            quality.full() ? squareTargets : static_cast<double>(quality.width()) * quality.height();
        return 10.0 + 90.0 * area / squareTargets;
    };
    double playing = 0.0;
    std::vector<double> changes;
    for (double sinceCut = 0.0; playing < 60000.0; sinceCut += cost()) {
        const double ms = cost();
        playing += ms;
        if (quality.frameDone(ms, playing, false, sinceCut))
            changes.push_back(playing);
    }
    ASSERT_FALSE(changes.empty());
    EXPECT_LT(changes.back(), 15000.0) << "still changing after 15 s";
    EXPECT_LE(cost(), budget);
    EXPECT_GT(cost(), 0.6 * budget) << "settled far smaller than it need be";
}

TEST(AdaptiveQuality, TheTitleCardAndTheWayToWhiteAreSteady) {
    EXPECT_FALSE(AdaptivePicture::steadyMoment(0, 1000.0f));
    EXPECT_TRUE(AdaptivePicture::steadyMoment(0, show::phraseMs));
    EXPECT_FALSE(AdaptivePicture::steadyMoment(3, show::phraseMs));
    EXPECT_FALSE(AdaptivePicture::steadyMoment(6, show::planetTrackEnd));
    EXPECT_TRUE(AdaptivePicture::steadyMoment(6, show::planetWhiteout));
}

} // namespace
} // namespace halcyra
