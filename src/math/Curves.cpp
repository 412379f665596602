#include "math/Curves.h"

#include <algorithm>

namespace halcyra {

namespace {

// Writes points into a table and stops at its end.
class TableWriter {
public:
    explicit TableWriter(std::span<Vec3> table) : table(table) {}
    bool full() const { return written == table.size(); }
    void put(Vec3 point) {
        if (!full())
            table[written++] = point;
    }
    int32_t count() const { return static_cast<int32_t>(written); }

private:
    std::span<Vec3> table;
    size_t written = 0;
};

int32_t stepsOf(std::span<const int32_t> steps, size_t segment) {
    return segment < steps.size() ? steps[segment] : 0;
}

template <typename Evaluate>
int32_t sampleSpline(std::span<const Vec3> keys, std::span<Vec3> output, std::span<const int32_t> steps,
                     Evaluate evaluate) {
    TableWriter writer(output);
    const size_t n = keys.size();
    if (n == 0)
        return 0;
    for (size_t i = 0; i + 1 < n && !writer.full(); ++i) {
        const Vec3& p0 = keys[i == 0 ? 0 : i - 1];
        const Vec3& p1 = keys[i];
        const Vec3& p2 = keys[i + 1];
        const Vec3& p3 = keys[std::min(i + 2, n - 1)];
        const int32_t m = stepsOf(steps, i);
        for (int32_t j = 0; j < m && !writer.full(); ++j) {
            const float s = static_cast<float>(j) / static_cast<float>(m);
            writer.put({evaluate(s, p0.x, p1.x, p2.x, p3.x), evaluate(s, p0.y, p1.y, p2.y, p3.y),
                        evaluate(s, p0.z, p1.z, p2.z, p3.z)});
        }
    }
    // At s = 1 the last segment is exactly its end key; writing the key avoids a rounding step.
    writer.put(keys[n - 1]);
    return writer.count();
}

} // namespace

TcbCoefficients tcbCoefficients(float tension, float continuity, float bias, float p0, float p1, float p2,
                                float p3) {
    const double t = tension, c = continuity, b = bias;
    const double d1 = (1.0 - t) * (1.0 + c) * (1.0 + b) / 2.0 * (double(p1) - p0) +
                      (1.0 - t) * (1.0 - c) * (1.0 - b) / 2.0 * (double(p2) - p1);
    const double d2 = (1.0 - t) * (1.0 - b) * (1.0 + c) / 2.0 * (double(p3) - p2) +
                      (1.0 - t) * (1.0 - c) * (1.0 + b) / 2.0 * (double(p2) - p1);
    TcbCoefficients result;
    result.a0 = p1;
    result.a1 = static_cast<float>(d1);
    result.a2 = static_cast<float>(3.0 * (double(p2) - p1) - 2.0 * d1 - d2);
    result.a3 = static_cast<float>(2.0 * (double(p1) - p2) + d1 + d2);
    return result;
}

float tcbEvaluate(float s, float tension, float continuity, float bias, float p0, float p1, float p2,
                  float p3) {
    const TcbCoefficients a = tcbCoefficients(tension, continuity, bias, p0, p1, p2, p3);
    const double x = s;
    return static_cast<float>(((a.a3 * x + a.a2) * x + a.a1) * x + a.a0);
}

float cardinalEvaluate(float s, float tau, float p0, float p1, float p2, float p3) {
    const double x = s, x2 = x * x, x3 = x2 * x, t = tau;
    const double w0 = -t * x3 + 2.0 * t * x2 - t * x;
    const double w1 = (2.0 - t) * x3 + (t - 3.0) * x2 + 1.0;
    const double w2 = (t - 2.0) * x3 + (3.0 - 2.0 * t) * x2 + t * x;
    const double w3 = t * x3 - t * x2;
    return static_cast<float>(w0 * p0 + w1 * p1 + w2 * p2 + w3 * p3);
}

int32_t sampleTcbCurve(float tension, float continuity, float bias, std::span<const Vec3> keys,
                       std::span<Vec3> output, std::span<const int32_t> steps) {
    return sampleSpline(keys, output, steps, [=](float s, float p0, float p1, float p2, float p3) {
        return tcbEvaluate(s, tension, continuity, bias, p0, p1, p2, p3);
    });
}

int32_t sampleCatmullRomCurve(std::span<const Vec3> keys, std::span<Vec3> output,
                              std::span<const int32_t> steps) {
    return sampleSpline(keys, output, steps, [](float s, float p0, float p1, float p2, float p3) {
        return cardinalEvaluate(s, 0.5f, p0, p1, p2, p3);
    });
}

int32_t sampleLinearCurve(std::span<const Vec3> keys, std::span<Vec3> output,
                          std::span<const int32_t> steps) {
    TableWriter writer(output);
    for (size_t i = 0; i + 1 < keys.size() && !writer.full(); ++i) {
        const Vec3 a = keys[i];
        const Vec3 b = keys[i + 1];
        const int32_t m = stepsOf(steps, i);
        if (m <= 0)
            continue;
        writer.put(a);
        for (int32_t j = 1; j < m && !writer.full(); ++j) {
            const double s = static_cast<float>(j) / static_cast<float>(m);
            writer.put({static_cast<float>(a.x + (double(b.x) - a.x) * s),
                        static_cast<float>(a.y + (double(b.y) - a.y) * s),
                        static_cast<float>(a.z + (double(b.z) - a.z) * s)});
        }
    }
    return writer.count();
}

} // namespace halcyra
