// Curves: the cubic evaluators and the three samplers that turn a few key points into a dense polyline,
// once, when a camera path is prepared. Evaluators work on one float component; samplers apply them to
// x, y and z. Samplers write into the caller's table and never past its end: a table too short for the
// step counts is filled as far as it goes, and the number of points written is returned.
#pragma once

#include "math/Vec3.h"

#include <cstdint>
#include <span>

namespace halcyra {

struct TcbCoefficients {
    float a0 = 0.0f;
    float a1 = 0.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;
};

// The Kochanek–Bartels segment from p1 to p2 in Hermite form: s = 0 gives p1, s = 1 gives p2.
TcbCoefficients tcbCoefficients(float tension, float continuity, float bias, float p0, float p1, float p2,
                                float p3);
float tcbEvaluate(float s, float tension, float continuity, float bias, float p0, float p1, float p2,
                  float p3);
// The cardinal spline between p1 and p2; tau = 0.5 is Catmull-Rom.
float cardinalEvaluate(float s, float tau, float p0, float p1, float p2, float p3);

// steps[i] is the number of points of segment i (keys i to i + 1); a count of 0 or less adds none.
// The spline samplers end on the last key: sum(steps) + 1 points when the table is long enough. With a
// single key they write that key; with none, nothing.
int32_t sampleTcbCurve(float tension, float continuity, float bias, std::span<const Vec3> keys,
                       std::span<Vec3> output, std::span<const int32_t> steps);
int32_t sampleCatmullRomCurve(std::span<const Vec3> keys, std::span<Vec3> output,
                              std::span<const int32_t> steps);
// Straight lines; each segment starts on its key and the last key itself is not written: sum(steps)
// points. Fewer than two keys write nothing.
int32_t sampleLinearCurve(std::span<const Vec3> keys, std::span<Vec3> output, std::span<const int32_t> steps);

} // namespace halcyra
