// Expectations on the math types that several tests share.
#pragma once

#include "math/Vec3.h"

#include <gtest/gtest.h>

namespace halcyra::test {

// Each component of `actual` within `tolerance` of `expected`'s.
inline void expectVec3(Vec3 actual, Vec3 expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Each component of `actual` equal to `expected`'s to within four units in the last place.
inline void expectVec3(Vec3 actual, Vec3 expected) {
    EXPECT_FLOAT_EQ(actual.x, expected.x);
    EXPECT_FLOAT_EQ(actual.y, expected.y);
    EXPECT_FLOAT_EQ(actual.z, expected.z);
}

// Whether two vectors have exactly the same components.
inline bool same(Vec3 a, Vec3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace halcyra::test
