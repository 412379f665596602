// The five camera paths, one per scene that follows a track, each as long as its scene so that no path
// loops, and the light file. Paths are smooth functions of time (slow orbits, or eased curves through a few
// framing points) sampled into keys every 200 ms, which the program's spline passes through. Each keeps
// clear of every model of its scene: the orbits stay outside the sculptures' widest parts and above the
// water, the cube-rain helix between the falling column and the cage, the planet path outside its ring.
#include "Models.h"
#include "ShowLayout.h"

#include <array>
#include <cmath>

namespace halcyra::tools {
namespace {

constexpr int framesPerKey = 5;

// Eased motion through (time, value) points: cubic Hermite with tangents from the neighbouring points
// (zero at the ends, so that a path starts and stops gently).
template <size_t N>
class Waypoints {
public:
    using Value = std::array<double, N>;
    Waypoints(std::vector<double> times, std::vector<Value> values)
        : t(std::move(times)), v(std::move(values)) {}

    Value at(double time) const {
        if (time <= t.front())
            return v.front();
        if (time >= t.back())
            return v.back();
        size_t i = 0;
        while (time > t[i + 1])
            ++i;
        const double span = t[i + 1] - t[i];
        const double s = (time - t[i]) / span;
        const double h00 = 2 * s * s * s - 3 * s * s + 1, h10 = s * s * s - 2 * s * s + s;
        const double h01 = -2 * s * s * s + 3 * s * s, h11 = s * s * s - s * s;
        Value out{};
        for (size_t k = 0; k < N; ++k) {
            const double m0 = slope(i, k) * span, m1 = slope(i + 1, k) * span;
            out[k] = h00 * v[i][k] + h10 * m0 + h01 * v[i + 1][k] + h11 * m1;
        }
        return out;
    }

private:
    double slope(size_t i, size_t k) const {
        if (i == 0 || i + 1 == t.size())
            return 0.0;
        return (v[i + 1][k] - v[i - 1][k]) / (t[i + 1] - t[i - 1]);
    }

    std::vector<double> t;
    std::vector<Value> v;
};

// A point at azimuth and elevation (degrees) and distance from `centre`.
Vec3d spherical(const Vec3d& centre, double azimuth, double elevation, double distance) {
    const double a = radians(azimuth), e = radians(elevation);
    return centre + Vec3d{distance * std::cos(e) * std::cos(a), distance * std::sin(e),
                          distance * std::cos(e) * std::sin(a)};
}

// Metaballs: a slow orbit close about the floating surface, inside the rings, rising and sinking with it a
// little above its centre, so that it fills the middle of the picture over the plinth. At 12 from the axis
// the surface's farthest reach towards the eye stays 3 away.
CameraShot metaballsShot(double ms) {
    const double s = ms / show::metaballsLength;
    const Vec3d axis{show::metaballCentre.x, 0.0, show::metaballCentre.z};
    const double surfaceHeight = show::metaballCentre.y + show::metaballBob * std::sin(ms * 0.00125);
    CameraShot shot;
    shot.eye = axis + cylindrical(205.0 + 150.0 * s, 12.0,
                                  surfaceHeight + 3.0 + 2.0 * std::sin(2.0 * pi * 1.2 * s - 0.5));
    shot.target = axis + Vec3d{0.0, surfaceHeight, 0.0};
    shot.roll = 3.0 * std::sin(2.0 * pi * s);
    return shot;
}

// Water: skimming the surface around the ring, inside the circle of monoliths.
CameraShot waterShot(double ms) {
    const double s = ms / show::waterLength;
    const Vec3d axis{show::metaballCentre.x, show::waterHeight, show::metaballCentre.z};
    CameraShot shot;
    shot.eye = axis + cylindrical(120.0 + 200.0 * s, 40.0 + 1.5 * std::cos(2.0 * pi * s),
                                  4.5 + 2.5 * std::sin(2.0 * pi * 1.5 * s + 0.6) + 3.0 * s);
    shot.target = axis + Vec3d{0.0, 14.0 + 4.0 * std::sin(2.0 * pi * s), 0.0};
    shot.roll = 2.5 * std::sin(2.0 * pi * 0.75 * s);
    return shot;
}

// Cube rain: a helix down the shaft between the falling column and the cage.
CameraShot cubeRainShot(double ms) {
    const double s = ms / show::cubeRainLength;
    const double descent = easeSmoother(-0.15, 1.15, s);
    const double height = 60.0 - 110.0 * descent;
    CameraShot shot;
    shot.eye = cylindrical(20.0 + 280.0 * s, 33.0 + 1.5 * std::sin(2.0 * pi * 2.0 * s), height);
    // Across the column to the cage behind it, dipping now and then to follow the cubes down.
    const double dip = 3.0 + 7.0 * (0.5 - 0.5 * std::cos(2.0 * pi * 1.5 * s));
    shot.target = Vec3d{0.0, height - dip, 0.0} + cylindrical(20.0 + 280.0 * s + 90.0, 4.0, 0.0);
    shot.roll = 5.0 * std::sin(2.0 * pi * s);
    return shot;
}

// Planet: from the night side round to the day side, then on towards +z for the glide.
CameraShot planetShot(double ms) {
    // Azimuth, elevation, distance, target height.
    static const Waypoints<4> path({0.0, 9000.0, 17000.0, 24000.0, 33500.0}, {{210.0, 14.0, 150.0, -10.0},
                                                                              {255.0, 18.0, 138.0, -6.0},
                                                                              {330.0, 6.0, 132.0, -2.0},
                                                                              {420.0, -4.0, 136.0, 0.0},
                                                                              {448.0, 2.0, 165.0, 0.0}});
    const auto p = path.at(ms);
    CameraShot shot;
    shot.eye = spherical({0.0, 0.0, 0.0}, p[0], p[1], p[2]);
    shot.target = {0.0, p[3], 0.0};
    shot.roll = -3.0 * std::sin(pi * std::min(1.0, ms / 24000.0));
    return shot;
}

// Credits: close in front of the panels while they are read, then back and up to take in the point
// sphere over the caption.
CameraShot creditsShot(double ms) {
    const double lightAzimuth = std::atan2(show::farLight.z, show::farLight.x) * 180.0 / pi;
    static const Waypoints<7> path(
        {0.0, 6500.0, 12800.0, 18500.0, 30000.0, 43400.0},
        // azimuth offset, distance, height, target distance, target height, target azimuth offset, roll
        {{-6.0, 126.0, 59.0, 95.0, 58.0, 0.0, 0.0},
         {-1.0, 125.0, 60.0, 95.0, 57.5, 0.0, -1.0},
         {4.0, 124.0, 59.0, 95.0, 57.0, 0.0, 0.0},
         {6.0, 146.0, 48.0, 0.0, 35.0, 0.0, 1.5},
         {-3.0, 142.0, 50.0, 0.0, 36.0, 0.0, -1.0},
         {-13.0, 140.0, 50.0, 0.0, 37.0, 0.0, 0.5}});
    const auto p = path.at(ms);
    CameraShot shot;
    shot.eye = cylindrical(lightAzimuth + p[0], p[1], p[2]);
    shot.target = cylindrical(lightAzimuth + p[5], p[3], p[4]);
    shot.roll = p[6];
    return shot;
}

} // namespace

std::vector<CameraPathFile> productionCameras() {
    return {{"cam_metaballs", cameraFile("CamMetaballs", show::metaballsLength, framesPerKey, metaballsShot)},
            {"cam_water", cameraFile("CamWater", show::waterLength, framesPerKey, waterShot)},
            {"cam_cuberain", cameraFile("CamCubeRain", show::cubeRainLength, framesPerKey, cubeRainShot)},
            {"cam_planet", cameraFile("CamPlanet", show::planetTrackEnd + 400.0, framesPerKey, planetShot)},
            {"cam_credits", cameraFile("CamCredits", show::creditsLength, framesPerKey, creditsShot)}};
}

std::vector<LightPathFile> productionLights() {
    // The metaball scene's light: a circle of radius 10 about (19, 80, 0), one turn per 7540 ms.
    return {{"light_circle", lightFile("LightCircle", show::metaballsLength, framesPerKey, [](double ms) {
                 const Vec3d& c = show::metaballLightCentre;
                 return Vec3d{c.x + 10.0 * std::sin(ms * 0.00083333335), c.y,
                              c.z + 10.0 * std::cos(ms * 0.00083333335)};
             })}};
}

} // namespace halcyra::tools
