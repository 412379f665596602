#include "timeline/Playback.h"
#include "timeline/LoadingScreen.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

TEST(LoadingProgress, SixtyOneStepsEndJustShortOfTheFullBar) {
    float progress = 0.0f;
    for (int i = 0; i < 61; ++i)
        progress += loadingStep;
    EXPECT_EQ(progress, 0.9999995f);
    EXPECT_EQ(loadingBarEnd(progress), 757);
    EXPECT_EQ(loadingBarEnd(0.0f), 258);
    EXPECT_EQ(loadingBarEnd(1.0f), 758);
}

TEST(LoadingProgress, StageTexts) {
    EXPECT_STREQ(loadingStageText(0), "Loading Shaders...");
    EXPECT_STREQ(loadingStageText(5), "Loading Scenes...");
    EXPECT_STREQ(loadingStageText(6), "Loading... Done");
    EXPECT_EQ(loadingStageText(7), nullptr);
    EXPECT_EQ(loadingStageText(-1), nullptr);
}

TEST(ShowFrameCount, EveryStartedStepOfTheShowIsOneFrame) {
    // 232,781.95 ms: 5819.55 steps of 40 ms, 13,966.9 of 16.67 ms.
    const std::vector<float> show = {21654.134765625f, 43308.26953125f, 28872.1796875f, 28872.1796875f,
                                     28872.1796875f,   28872.1796875f,  52330.828125f};
    EXPECT_EQ(showFrameCount(show, 25), 5820);
    EXPECT_EQ(showFrameCount(show, 60), 13967);
    EXPECT_EQ(showFrameCount(show, 1), 233);
    // A frame that lands exactly on a scene's end belongs to the next scene, and one on the show's end
    // is not shown.
    EXPECT_EQ(showFrameCount({500.0f, 500.0f}, 4), 4);
    EXPECT_EQ(showFrameCount({}, 25), 0);
}

TEST(FrameStatistics, NearestRankMedianAndPercentile) {
    std::vector<float> times;
    for (int i = 1; i <= 100; ++i)
        times.push_back(static_cast<float>(i));
    const auto summary = FrameStatistics::summarize(times);
    EXPECT_EQ(summary.frames, 100);
    EXPECT_DOUBLE_EQ(summary.median, 50.0);
    EXPECT_DOUBLE_EQ(summary.p95, 95.0);
    EXPECT_DOUBLE_EQ(summary.p99, 99.0);
    EXPECT_DOUBLE_EQ(summary.max, 100.0);

    const auto one = FrameStatistics::summarize({7.0f});
    EXPECT_DOUBLE_EQ(one.median, 7.0);
    EXPECT_DOUBLE_EQ(one.p95, 7.0);
    EXPECT_EQ(FrameStatistics::summarize({}).frames, 0);
}

} // namespace
} // namespace halcyra
