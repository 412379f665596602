#include "scene3ds/AnimationNode.h"

#include "support/Expect.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

Vec3 placed(const AnimationNode& node, int32_t frame, Vec3 origin, Vec3 v = {0, 0, 0}) {
    return Mat4::transformPoint(node.matrixAt(frame, origin), v);
}

using test::expectVec3;

AnimationNode tenPositionKeys() {
    AnimationNode node("n");
    for (int i = 0; i < 10; ++i) {
        const Vec3 p{float(i), 0, 0};
        node.positionKeys.push_back({i, p, Mat4::translation(p)});
    }
    node.rotationKeys.push_back({0, Quat{}, Mat4::identity()});
    return node;
}

TEST(AnimationNode, WrapTakesTheFrameModuloTheKeysAndClampHoldsTheEnds) {
    AnimationNode node = tenPositionKeys();
    EXPECT_TRUE(node.wrap);
    expectVec3(placed(node, 23, {}), {3, 0, 0});
    expectVec3(placed(node, -1, {}), {9, 0, 0});
    node.wrap = false;
    expectVec3(placed(node, 23, {}), {9, 0, 0});
    expectVec3(placed(node, -5, {}), {0, 0, 0});
}

TEST(AnimationNode, SingleKeysFallBackToTheMeshOriginAndNoScale) {
    AnimationNode node("n");
    node.positionKeys.push_back({0, {5, 5, 5}, Mat4::translation({5, 5, 5})});
    node.scaleKeys.push_back({0, {2, 2, 2}, Mat4::scaling({2, 2, 2})});
    // No rotation keys: not rotated.
    expectVec3(placed(node, 4, {1, 2, 3}, {1, 0, 0}), {2, 2, 3});
    node.scaleKeys.push_back({1, {3, 3, 3}, Mat4::scaling({3, 3, 3})});
    expectVec3(placed(node, 1, {1, 2, 3}, {1, 0, 0}), {4, 2, 3});
}

TEST(AnimationNode, PoseScalesThenShiftsByThePivotThenRotatesThenPlaces) {
    AnimationNode node = tenPositionKeys();
    node.rotationKeys[0].matrix = Mat4::fromQuat(Quat(0.70710677f, 0, 0.70710677f, 0)); // 90° about y
    node.pivot = {1, 0, 0};
    node.scaleKeys = {{0, {2, 2, 2}, Mat4::scaling({2, 2, 2})}, {1, {2, 2, 2}, Mat4::scaling({2, 2, 2})}};
    // (1, 0, 0) → scaled (2, 0, 0) → pivot (3, 0, 0) → rotated (0, 0, −3) → key 2 at (2, 0, 0).
    expectVec3(placed(node, 2, {}, {1, 0, 0}), {2, 0, -3});
}

} // namespace
} // namespace halcyra
