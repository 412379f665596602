#include "math/Clamp.h"
#include "math/Mat3.h"
#include "math/Mat4.h"
#include "math/Quat.h"
#include "math/Vec3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halcyra {
namespace {

void expectNear(Vec3 actual, Vec3 expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(Vec3, DotFormsItsSumInDouble) {
    // 4097² is 16785409, which float rounds to 16785408: a float sum would give 0.
    EXPECT_EQ(Vec3::dot({4097.0f, 1.0f, 0.0f}, {4097.0f, -16785408.0f, 0.0f}), 1.0f);
}

TEST(Vec3, CrossIsRightHanded) {
    expectNear(Vec3::cross({1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}), {0.0f, 0.0f, 1.0f});
    expectNear(Vec3::cross({0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}), {0.0f, 1.0f, 0.0f});
}

TEST(Vec3, NormalizeGivesUnitLengthAndNonFiniteForZero) {
    EXPECT_NEAR(Vec3::length(Vec3::normalize({3.0f, 4.0f, 12.0f})), 1.0f, 1e-6f);
    const Vec3 zero = Vec3::normalize({});
    EXPECT_FALSE(std::isfinite(zero.x));
    EXPECT_FALSE(std::isfinite(zero.y));
    EXPECT_FALSE(std::isfinite(zero.z));
}

TEST(Mat4, FromRowsStoresRowsColumnMajor) {
    const Mat4 m = Mat4::fromRows({1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1});
    EXPECT_EQ(m.m[12], 5.0f);
    EXPECT_EQ(m.m[13], 6.0f);
    EXPECT_EQ(m.m[14], 7.0f);
    EXPECT_EQ(m.at(0, 3), 5.0f);
    expectNear(Mat4::transformPoint(m, {}), {5.0f, 6.0f, 7.0f});

    const Mat4 counted = Mat4::fromRows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(counted.m[4 * (k % 4) + k / 4], float(k)) << "argument " << k;
}

TEST(Mat4, RotationXYZTurnsCounterClockwiseAboutEachAxis) {
    expectNear(Mat4::transformPoint(Mat4::rotationXYZ(90, 0, 0), {0, 1, 0}), {0, 0, 1});
    expectNear(Mat4::transformPoint(Mat4::rotationXYZ(0, 90, 0), {0, 0, 1}), {1, 0, 0});
    expectNear(Mat4::transformPoint(Mat4::rotationXYZ(0, 0, 90), {1, 0, 0}), {0, 1, 0});
}

TEST(Mat4, RotationXYZTurnsAboutXThenYThenZ) {
    // About x first sends y to z; y then sends z to x. The other order would leave (0, 0, 1).
    expectNear(Mat4::transformPoint(Mat4::rotationXYZ(90, 90, 0), {0, 1, 0}), {1, 0, 0});

    const Mat4 combined = Mat4::rotationXYZ(30, 50, 70);
    const Mat4 composed =
        Mat4::multiply(Mat4::rotationXYZ(0, 0, 70),
                       Mat4::multiply(Mat4::rotationXYZ(0, 50, 0), Mat4::rotationXYZ(30, 0, 0)));
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(combined.m[k], composed.m[k], 1e-6f) << "index " << k;
}

TEST(Mat4, MultiplyAppliesTheRightOperandFirst) {
    const Mat4 scaleThenMove = Mat4::multiply(Mat4::translation({1, 0, 0}), Mat4::scaling({2, 2, 2}));
    expectNear(Mat4::transformPoint(scaleThenMove, {1, 1, 1}), {3, 2, 2});
}

TEST(Mat4, FromQuatMatchesTheRotationItEncodes) {
    const Mat4 identity = Mat4::fromQuat(Quat(1, 0, 0, 0));
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(identity.m[k], Mat4::identity().m[k]) << "index " << k;

    const float half = std::sqrt(0.5f);
    const Mat4 quarterTurnZ = Mat4::fromQuat(Quat(half, 0, 0, half));
    expectNear(Mat4::transformPoint(quarterTurnZ, {1, 0, 0}), {0, 1, 0});
}

TEST(Mat3, TakesTheUpperLeftBlockOfAMat4) {
    const Mat4 m = Mat4::fromRows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    const Mat3 block = Mat3::fromMat4(m);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(block.at(row, column), m.at(row, column));
    expectNear(Mat3::transform(block, {1, 0, 0}), {0, 4, 8});
}

TEST(Quat, ProductIsNotCommutative) {
    const Quat ij = Quat::multiply(Quat(0, 1, 0, 0), Quat(0, 0, 1, 0));
    const Quat ji = Quat::multiply(Quat(0, 0, 1, 0), Quat(0, 1, 0, 0));
    EXPECT_EQ(ij.w, 0.0f);
    EXPECT_EQ(ij.z, 1.0f);
    EXPECT_EQ(ji.w, 0.0f);
    EXPECT_EQ(ji.z, -1.0f);
    EXPECT_EQ(ij.x, 0.0f);
    EXPECT_EQ(ij.y, 0.0f);
}

TEST(Clamp, LowBoundWinsBelowAndHighBoundAbove) {
    EXPECT_EQ(clampFloat(-1.0f, 0.0f, 1.0f), 0.0f);
    EXPECT_EQ(clampFloat(2.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(clampFloat(0.25f, 0.0f, 1.0f), 0.25f);
    EXPECT_EQ(clampInt(5, 10, 3), 10);
    EXPECT_EQ(clampInt(20, 10, 3), 3);
    EXPECT_EQ(clampInt(7, 0, 9), 7);
}

} // namespace
} // namespace halcyra
