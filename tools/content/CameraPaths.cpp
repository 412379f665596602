// The five camera paths, one per scene that follows a track, each as long as its scene so that no path
// loops, and the light file. Paths are smooth functions of time (slow orbits, or eased curves through a few
// framing points). The credits, metaballs, water and cube rain cut between two or three shots on the bar;
// their paths are keyed every frame, the planet's every 200 ms, and the program's spline passes through the
// keys. Each keeps clear of every model of its scene: the orbits stay outside the sculptures' widest parts
// and above the water, the cube-rain shots between the falling column and the cage or outside the cage, the
// planet path outside its ring.
#include "Models.h"
#include "ShowLayout.h"

#include <array>
#include <cmath>

namespace halcyra::tools {
namespace {

// Keys every frame for the paths that cut, every five frames for the planet's glide.
constexpr int framesPerKeyCutting = 1;
constexpr int framesPerKeyGliding = 5;

// Where the scenes cut, in ms from their start: a shot changes eight bars in, with the grain's new window,
// and again twelve bars in (where the metaballs' reflected light changes sides); the credits' second part
// cuts fourteen and eighteen bars in, on its beat.
constexpr double eightBars = show::creditsSecondPart;
constexpr double twelveBars = 48 * halcyra::show::beatMs;
constexpr double fourteenBars = 56 * halcyra::show::beatMs;
constexpr double eighteenBars = 72 * halcyra::show::beatMs;

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

// A scene's camera as a few shots, each from its start until the next one's, all on the scene's clock.
// The program's track plays a straight line between neighbouring keys, so a cut shows for one key's
// time at most (40 ms) as a fast swing from one shot to the next; every path that cuts has a key per frame,
// which keeps the spline between keys from swinging ahead towards the cut.
struct Shot {
    double from; // ms into the scene
    CameraShot (*at)(double ms);
};

template <size_t N>
CameraShot cutting(const std::array<Shot, N>& shots, double ms) {
    size_t i = 0;
    while (i + 1 < N && ms >= shots[i + 1].from)
        ++i;
    return shots[i].at(ms);
}

// Where the metaball surface is at `ms`: over its centre, bobbing up and down.
Vec3d metaballSurface(double ms) {
    return Vec3d{show::metaballCentre.x, show::metaballCentre.y + show::metaballBob * std::sin(ms * 0.00125),
                 show::metaballCentre.z};
}

// Metaballs, first: a slow orbit close about the floating surface, inside the rings, rising and sinking
// with it a little above its centre, so that it fills the middle of the picture over the plinth. At 12
// from the axis the surface's farthest reach towards the eye stays 3 away.
CameraShot metaballsClose(double ms) {
    const double s = ms / show::metaballsLength;
    const Vec3d surface = metaballSurface(ms);
    const Vec3d axis{surface.x, 0.0, surface.z};
    CameraShot shot;
    shot.eye = axis + cylindrical(205.0 + 150.0 * s, 12.0,
                                  surface.y + 3.0 + 2.0 * std::sin(2.0 * pi * 1.2 * s - 0.5));
    shot.target = surface;
    shot.roll = 3.0 * std::sin(2.0 * pi * s);
    return shot;
}

// Metaballs, second: high over the sculpture, looking down on the surface past the rings, with the plinth
// and the crowned pillars around it below; the eye circles a quarter turn and sinks a little as the
// surface rises towards it.
CameraShot metaballsHigh(double ms) {
    const double s = easeSmoother(eightBars, twelveBars, ms);
    const Vec3d surface = metaballSurface(ms);
    const Vec3d axis{surface.x, 0.0, surface.z};
    CameraShot shot;
    shot.eye = axis + cylindrical(20.0 + 60.0 * s, 10.0 - 1.0 * s, surface.y + 17.0 + 2.0 * s);
    shot.target = surface;
    shot.roll = -4.0 + 3.0 * s;
    return shot;
}

// Metaballs, third: low and from the side, inside the rings, looking up at the surface with the rings
// turning over it; the last second's narrowing field of view closes in on it.
CameraShot metaballsSide(double ms) {
    const double s = easeSmoother(twelveBars, show::metaballsLength, ms);
    const Vec3d surface = metaballSurface(ms);
    const Vec3d axis{surface.x, 0.0, surface.z};
    CameraShot shot;
    shot.eye = axis + cylindrical(150.0 + 24.0 * s, 13.0 - 1.0 * s, 0.6 * surface.y + 6.0);
    shot.target = surface;
    shot.roll = 2.0 - 2.0 * s;
    return shot;
}

CameraShot metaballsShot(double ms) {
    static const std::array<Shot, 3> shots{
        {{0.0, metaballsClose}, {eightBars, metaballsHigh}, {twelveBars, metaballsSide}}};
    return cutting(shots, ms);
}

// Half way between two neighbouring stones of the water, where the water's shots look in.
constexpr double betweenStones(int stone) {
    return (show::waterStoneAzimuth(stone) + show::waterStoneAzimuth(stone + 1)) * 0.5;
}

// Water, first: a track low over the water from far outside the ring of stones up to a gap between two of
// them, the great ring ahead.
CameraShot waterTrack(double ms) {
    const double s = easeSmoother(-0.3 * eightBars, eightBars, ms);
    const Vec3d axis{show::metaballCentre.x, show::waterHeight, show::metaballCentre.z};
    const double azimuth = betweenStones(3) - 6.0 + 12.0 * s;
    CameraShot shot;
    shot.eye = axis + cylindrical(azimuth, 96.0 - 40.0 * s, 5.0 + 3.0 * s);
    shot.target = axis + cylindrical(azimuth + 180.0, 6.0, 13.0 - 1.0 * s);
    shot.roll = 1.5 * std::sin(pi * s);
    return shot;
}

// Water, second: from between two stones, below the halo, looking down through the great ring at the
// island and the water behind it, as the ring turns its opening towards the eye and on past it.
CameraShot waterThroughArch(double ms) {
    const double s = easeSmoother(eightBars, twelveBars, ms);
    const Vec3d axis{show::metaballCentre.x, show::waterHeight, show::metaballCentre.z};
    const double azimuth = betweenStones(4) - 2.0 + 4.0 * s;
    CameraShot shot;
    shot.eye = axis + cylindrical(azimuth, 56.0 - 6.0 * s, 22.0 - 2.0 * s);
    shot.target = axis + cylindrical(azimuth + 180.0, 8.0, 0.0);
    shot.roll = 0.0;
    return shot;
}

// Water, third: from the side, low among the stones, across the water at the ring and its orbiting lights;
// the eye drifts back as the field of view opens at the end.
CameraShot waterSide(double ms) {
    const double s = easeSmoother(twelveBars, show::waterLength, ms);
    const Vec3d axis{show::metaballCentre.x, show::waterHeight, show::metaballCentre.z};
    CameraShot shot;
    const double azimuth = betweenStones(4) - 8.0 + 16.0 * s;
    shot.eye = axis + cylindrical(azimuth, 50.0 + 6.0 * s, 4.5 + 2.0 * s);
    shot.target = axis + cylindrical(azimuth + 150.0, 20.0, 15.0);
    shot.roll = -1.5 * (1.0 - s);
    return shot;
}

CameraShot waterShot(double ms) {
    static const std::array<Shot, 3> shots{
        {{0.0, waterTrack}, {eightBars, waterThroughArch}, {twelveBars, waterSide}}};
    return cutting(shots, ms);
}

// Cube rain, first: a helix down the shaft between the falling column and the cage, looking across the
// column to the cage behind it, dipping now and then to follow the cubes down.
CameraShot cubeRainDescent(double ms) {
    const double s = ms / eightBars;
    const double descent = easeSmoother(-0.15, 1.1, s);
    const double height = 62.0 - 100.0 * descent;
    const double azimuth = 20.0 + 150.0 * s;
    CameraShot shot;
    shot.eye = cylindrical(azimuth, 33.0 + 1.5 * std::sin(2.0 * pi * s), height);
    const double dip = 3.0 + 7.0 * (0.5 - 0.5 * std::cos(2.0 * pi * 0.8 * s));
    shot.target = Vec3d{0.0, height - dip, 0.0} + cylindrical(azimuth + 90.0, 4.0, 0.0);
    shot.roll = 4.0 * std::sin(pi * s);
    return shot;
}

// Cube rain, second: a level side view across the column, the cubes streaming down through the picture
// past the plates behind them, as the eye tracks sideways round the shaft.
CameraShot cubeRainSide(double ms) {
    const double s = easeSmoother(eightBars - 1000.0, twelveBars + 1000.0, ms);
    const double azimuth = 250.0 - 50.0 * s;
    CameraShot shot;
    shot.eye = cylindrical(azimuth, 34.0, 2.0);
    shot.target = Vec3d{0.0, 2.0, 0.0} + cylindrical(azimuth - 90.0, 8.0, 0.0);
    shot.roll = -2.0;
    return shot;
}

// Cube rain, third: a descent with the falling cubes, close beside the column at their own speed, so that
// they hang in the picture as the cage rushes up past them; it ends level, so that the next scene's
// camera starts upright.
CameraShot cubeRainRide(double ms) {
    const double fall = 80.0 / 6000.0; // the cubes' speed, units per ms
    const double s = easeSmoother(twelveBars, show::cubeRainLength, ms);
    const double height = 64.0 - fall * (ms - twelveBars);
    const double azimuth = 120.0 + 70.0 * s;
    CameraShot shot;
    shot.eye = cylindrical(azimuth, 28.0, height);
    shot.target = Vec3d{0.0, height - 3.0, 0.0} + cylindrical(azimuth + 90.0, 4.0, 0.0);
    shot.roll = 0.0;
    return shot;
}

CameraShot cubeRainShot(double ms) {
    static const std::array<Shot, 3> shots{
        {{0.0, cubeRainDescent}, {eightBars, cubeRainSide}, {twelveBars, cubeRainRide}}};
    return cutting(shots, ms);
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

double creditsAzimuth() {
    return std::atan2(show::farLight.z, show::farLight.x) * 180.0 / pi;
}

// Credits, first: close in front of the panels while they are read, then back and up to take in the point
// sphere over the caption, and a slow drift there.
CameraShot creditsReading(double ms) {
    static const Waypoints<7> path(
        {0.0, 6500.0, 12800.0, 18500.0, fourteenBars},
        // azimuth offset, distance, height, target distance, target height, target azimuth offset, roll
        {{-6.0, 126.0, 59.0, 95.0, 58.0, 0.0, 0.0},
         {-1.0, 125.0, 60.0, 95.0, 57.5, 0.0, -1.0},
         {4.0, 124.0, 59.0, 95.0, 57.0, 0.0, 0.0},
         {6.0, 146.0, 48.0, 0.0, 35.0, 0.0, 1.5},
         {-4.0, 141.0, 50.0, 0.0, 36.0, 0.0, -1.0}});
    const auto p = path.at(ms);
    CameraShot shot;
    shot.eye = cylindrical(creditsAzimuth() + p[0], p[1], p[2]);
    shot.target = cylindrical(creditsAzimuth() + p[5], p[3], p[4]);
    shot.roll = p[6];
    return shot;
}

// Credits, second: low, the caption in the lower part of the picture and the sphere and its lines towering
// over it; the eye rises a little and swings round. The second part's shots keep about 140 from the point
// sphere's centre, as the first does: its points grow with it, and from nearer they would fill much more of
// the picture and take much longer to draw.
CameraShot creditsLow(double ms) {
    const double s = easeSmoother(fourteenBars, eighteenBars, ms);
    CameraShot shot;
    shot.eye = cylindrical(creditsAzimuth() + 14.0 - 10.0 * s, 136.0 - 4.0 * s, 6.0 + 6.0 * s);
    shot.target = cylindrical(creditsAzimuth(), 10.0, 48.0 - 2.0 * s);
    shot.roll = -2.0 + 2.0 * s;
    return shot;
}

// Credits, third: high, looking down on the caption with the sphere and its lines behind it and the point
// torus sweeping round below; the eye climbs and turns as the glow fades at the end.
CameraShot creditsHigh(double ms) {
    const double s = easeSmoother(eighteenBars, show::creditsLength, ms);
    CameraShot shot;
    shot.eye = cylindrical(creditsAzimuth() - 2.0 - 5.0 * s, 136.0 + 4.0 * s, 70.0 + 8.0 * s);
    shot.target = cylindrical(creditsAzimuth() - 2.0, 76.0, 30.0);
    shot.roll = 1.0 * s;
    return shot;
}

CameraShot creditsShot(double ms) {
    static const std::array<Shot, 3> shots{
        {{0.0, creditsReading}, {fourteenBars, creditsLow}, {eighteenBars, creditsHigh}}};
    return cutting(shots, ms);
}

} // namespace

std::vector<CameraPathFile> productionCameras() {
    return {
        {"cam_metaballs",
         cameraFile("CamMetaballs", show::metaballsLength, framesPerKeyCutting, metaballsShot)},
        {"cam_water", cameraFile("CamWater", show::waterLength, framesPerKeyCutting, waterShot)},
        {"cam_cuberain", cameraFile("CamCubeRain", show::cubeRainLength, framesPerKeyCutting, cubeRainShot)},
        {"cam_planet",
         cameraFile("CamPlanet", show::planetTrackEnd + 400.0, framesPerKeyGliding, planetShot)},
        {"cam_credits", cameraFile("CamCredits", show::creditsLength, framesPerKeyCutting, creditsShot)}};
}

std::vector<LightPathFile> productionLights() {
    // The metaball scene's light: a circle of radius 10 about (19, 80, 0), one turn per 7540 ms.
    return {
        {"light_circle", lightFile("LightCircle", show::metaballsLength, framesPerKeyGliding, [](double ms) {
             const Vec3d& c = show::metaballLightCentre;
             return Vec3d{c.x + 10.0 * std::sin(ms * 0.00083333335), c.y,
                          c.z + 10.0 * std::cos(ms * 0.00083333335)};
         })}};
}

} // namespace halcyra::tools
