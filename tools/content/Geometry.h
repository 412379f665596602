// Double-precision vectors and rotations for building the production's models and camera paths in the
// show's Y-up axes. Kept apart from the program's single-precision math so that the generator computes
// every shape and pose once, exactly, before the 3DS writer stores them as floats.
#pragma once

#include <cmath>
#include <numbers>

namespace halcyra::tools {

constexpr double pi = std::numbers::pi;

inline double radians(double degrees) {
    return degrees * pi / 180.0;
}

struct Vec3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vec3d operator+(const Vec3d& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3d operator-(const Vec3d& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3d operator-() const { return {-x, -y, -z}; }
    Vec3d operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3d& operator+=(const Vec3d& o) { return *this = *this + o; }
};

inline double dot(const Vec3d& a, const Vec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3d cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double length(const Vec3d& v) {
    return std::sqrt(dot(v, v));
}

inline Vec3d normalized(const Vec3d& v) {
    const double l = length(v);
    return l > 0.0 ? v * (1.0 / l) : Vec3d{0.0, 1.0, 0.0};
}

inline Vec3d lerp(const Vec3d& a, const Vec3d& b, double t) {
    return a + (b - a) * t;
}

// A point at `azimuth` degrees around the vertical axis (0 on +x, 90 on +z), `radius` out and `height` up.
inline Vec3d cylindrical(double azimuth, double radius, double height) {
    const double a = radians(azimuth);
    return {radius * std::cos(a), height, radius * std::sin(a)};
}

// Unit quaternion (w, x, y, z); rotate() applies it to a vector.
struct Quatd {
    double w = 1.0;
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    static Quatd axisAngle(const Vec3d& axis, double angle) {
        const Vec3d a = normalized(axis);
        const double s = std::sin(angle * 0.5);
        return {std::cos(angle * 0.5), a.x * s, a.y * s, a.z * s};
    }

    // Hamilton product: `o` first, then this.
    Quatd operator*(const Quatd& o) const {
        return {w * o.w - x * o.x - y * o.y - z * o.z, w * o.x + x * o.w + y * o.z - z * o.y,
                w * o.y - x * o.z + y * o.w + z * o.x, w * o.z + x * o.y - y * o.x + z * o.w};
    }

    Quatd conjugate() const { return {w, -x, -y, -z}; }

    Vec3d rotate(const Vec3d& v) const {
        const Vec3d u{x, y, z};
        const Vec3d t = cross(u, v) * 2.0;
        return v + t * w + cross(u, t);
    }
};

// Turns about the vertical axis, then tilts: the orientations the models use are built from these.
inline Quatd yaw(double degrees) {
    return Quatd::axisAngle({0.0, 1.0, 0.0}, radians(degrees));
}
inline Quatd pitch(double degrees) {
    return Quatd::axisAngle({1.0, 0.0, 0.0}, radians(degrees));
}
inline Quatd roll(double degrees) {
    return Quatd::axisAngle({0.0, 0.0, 1.0}, radians(degrees));
}

// 0 … 1 with zero slope at both ends; clamps outside edge0 … edge1.
inline double ease(double edge0, double edge1, double x) {
    double t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    return t * t * (3.0 - 2.0 * t);
}

// Like ease, with zero first and second derivatives at both ends: for starts and stops of motion.
inline double easeSmoother(double edge0, double edge1, double x) {
    double t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

} // namespace halcyra::tools
