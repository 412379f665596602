#include "math/Curves.h"

#include "support/Expect.h"

#include <gtest/gtest.h>

#include <vector>

namespace halcyra {
namespace {

const Vec3 sentinel{-99.0f, -99.0f, -99.0f};

using test::same;

TEST(Curves, TcbWithZeroParametersIsCatmullRom) {
    const float points[][4] = {{0, 1, 3, 4}, {-2, 5, 1, 7}, {10, -3, 8, 0.5f}};
    for (const auto& p : points) {
        for (float s = 0.0f; s <= 1.0f; s += 0.125f) {
            EXPECT_NEAR(tcbEvaluate(s, 0, 0, 0, p[0], p[1], p[2], p[3]),
                        cardinalEvaluate(s, 0.5f, p[0], p[1], p[2], p[3]), 1e-5f)
                << "s = " << s;
        }
    }
}

TEST(Curves, TcbSegmentRunsFromSecondToThirdPoint) {
    EXPECT_EQ(tcbEvaluate(0.0f, 0.3f, -0.4f, 0.6f, 2, 5, 11, 3), 5.0f);
    EXPECT_NEAR(tcbEvaluate(1.0f, 0.3f, -0.4f, 0.6f, 2, 5, 11, 3), 11.0f, 1e-5f);
}

TEST(Curves, SplineSamplersWriteEveryStepAndEndOnTheLastKey) {
    const std::vector<Vec3> keys = {{0, 0, 0}, {3, 6, 9}};
    const std::vector<int32_t> steps = {3};
    std::vector<Vec3> tcb(6, sentinel), catmullRom(6, sentinel);
    EXPECT_EQ(sampleTcbCurve(0, 0, 0, keys, tcb, steps), 4);
    EXPECT_EQ(sampleCatmullRomCurve(keys, catmullRom, steps), 4);
    for (const auto* table : {&tcb, &catmullRom}) {
        EXPECT_TRUE(same((*table)[0], keys[0]));
        EXPECT_TRUE(same((*table)[3], keys[1]));
        EXPECT_TRUE(same((*table)[4], sentinel));
    }
}

TEST(Curves, LinearSamplerStopsShortOfTheLastKey) {
    const std::vector<Vec3> keys = {{0, 0, 0}, {3, 6, 9}};
    const std::vector<int32_t> steps = {3};
    std::vector<Vec3> line(5, sentinel);
    EXPECT_EQ(sampleLinearCurve(keys, line, steps), 3);
    EXPECT_TRUE(same(line[0], keys[0]));
    EXPECT_NEAR(line[1].y, 2.0f, 1e-6f);
    EXPECT_NEAR(line[2].z, 6.0f, 1e-6f);
    EXPECT_TRUE(same(line[3], sentinel));

    std::vector<Vec3> single(2, sentinel);
    EXPECT_EQ(sampleLinearCurve(std::vector<Vec3>{{1, 2, 3}}, single, steps), 0);
}

TEST(Curves, SamplersNeverWritePastTheTable) {
    const std::vector<Vec3> keys = {{0, 0, 0}, {1, 1, 1}, {2, 0, 2}};
    const std::vector<int32_t> steps = {10, 10};
    std::vector<Vec3> storage(8, sentinel);
    const std::span<Vec3> table(storage.data(), 5);
    EXPECT_EQ(sampleTcbCurve(0, 0, 0, keys, table, steps), 5);
    EXPECT_EQ(sampleCatmullRomCurve(keys, table, steps), 5);
    EXPECT_EQ(sampleLinearCurve(keys, table, steps), 5);
    for (size_t i = 5; i < storage.size(); ++i)
        EXPECT_TRUE(same(storage[i], sentinel)) << "index " << i;
}

TEST(Curves, SegmentsWithoutStepsAddNoPoints) {
    const std::vector<Vec3> keys = {{0, 0, 0}, {1, 1, 1}, {2, 0, 2}};
    const std::vector<int32_t> steps = {0, 2};
    std::vector<Vec3> tcb(6, sentinel), line(6, sentinel);
    EXPECT_EQ(sampleTcbCurve(0, 0, 0, keys, tcb, steps), 3);
    EXPECT_TRUE(same(tcb[0], keys[1]));
    EXPECT_TRUE(same(tcb[2], keys[2]));
    EXPECT_EQ(sampleLinearCurve(keys, line, std::vector<int32_t>{-4, 2}), 2);
    EXPECT_TRUE(same(line[0], keys[1]));
}

TEST(Curves, SplineSamplersRepeatTheEndKeysAsOuterControlPoints) {
    const std::vector<Vec3> keys = {{0, 0, 0}, {4, 0, 0}, {5, 0, 0}};
    const std::vector<int32_t> steps = {2, 2};
    std::vector<Vec3> table(5);
    ASSERT_EQ(sampleCatmullRomCurve(keys, table, steps), 5);
    EXPECT_NEAR(table[1].x, cardinalEvaluate(0.5f, 0.5f, 0, 0, 4, 5), 1e-6f);
    EXPECT_NEAR(table[3].x, cardinalEvaluate(0.5f, 0.5f, 0, 4, 5, 5), 1e-6f);
}

} // namespace
} // namespace halcyra
