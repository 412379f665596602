#include "math/Vec3.h"

#include <cmath>

namespace halcyra {

Vec3 Vec3::add(Vec3 a, Vec3 b) {
    return {static_cast<float>(double(a.x) + b.x), static_cast<float>(double(a.y) + b.y),
            static_cast<float>(double(a.z) + b.z)};
}

Vec3 Vec3::sub(Vec3 a, Vec3 b) {
    return {static_cast<float>(double(a.x) - b.x), static_cast<float>(double(a.y) - b.y),
            static_cast<float>(double(a.z) - b.z)};
}

Vec3 Vec3::negate(Vec3 a) {
    return {-a.x, -a.y, -a.z};
}

Vec3 Vec3::scale(Vec3 a, float s) {
    return {static_cast<float>(double(a.x) * s), static_cast<float>(double(a.y) * s),
            static_cast<float>(double(a.z) * s)};
}

Vec3 Vec3::scaleBy(float s, Vec3 a) {
    return scale(a, s);
}

Vec3 Vec3::divide(Vec3 a, float s) {
    const double reciprocal = 1.0 / s;
    return {static_cast<float>(a.x * reciprocal), static_cast<float>(a.y * reciprocal),
            static_cast<float>(a.z * reciprocal)};
}

float Vec3::dot(Vec3 a, Vec3 b) {
    return static_cast<float>(double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z);
}

Vec3 Vec3::cross(Vec3 a, Vec3 b) {
    return {static_cast<float>(double(a.y) * b.z - double(a.z) * b.y),
            static_cast<float>(double(a.z) * b.x - double(a.x) * b.z),
            static_cast<float>(double(a.x) * b.y - double(a.y) * b.x)};
}

float Vec3::length(Vec3 a) {
    return static_cast<float>(std::sqrt(double(a.x) * a.x + double(a.y) * a.y + double(a.z) * a.z));
}

Vec3 Vec3::normalize(Vec3 a) {
    const float reciprocal = static_cast<float>(1.0 / double(length(a)));
    return scale(a, reciprocal);
}

} // namespace halcyra
