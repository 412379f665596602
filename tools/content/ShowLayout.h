// What the program's scenes put around the models, as numbers the models, their pictures and the camera
// paths are fitted to: the scenes' lengths, where they light, what they draw in code and where. They come
// from the show's one layout (src/show/ShowLayout.h), here as the content tool's doubles; the few that only
// the content needs are added.
#pragma once

#include "Geometry.h"
#include "show/ShowLayout.h"

namespace halcyra::tools::show {

constexpr Vec3d fromShow(halcyra::show::Point p) {
    return Vec3d{p.x, p.y, p.z};
}

// Scene lengths in ms.
constexpr double creditsLength = halcyra::show::creditsLength;
constexpr double metaballsLength = halcyra::show::metaballsLength;
constexpr double waterLength = halcyra::show::waterLength;
constexpr double cubeRainLength = halcyra::show::cubeRainLength;
constexpr double greetingsLength = halcyra::show::greetingsLength;

// Credits: after this only the credits' meshes 0 and 1 are drawn, and the lines to the helpers begin.
constexpr double creditsSecondPart = halcyra::show::phraseMs;
// Lit by a light standing here in the credits and planet scenes.
constexpr Vec3d farLight = fromShow(halcyra::show::farLight);
// The point torus of the credits and planet scenes about the origin.
constexpr double torusRadius = halcyra::show::torusRadius;
// The credits' point sphere: its centre (it grows to a radius of about 61 by the end).
constexpr Vec3d sphereCentre = fromShow(halcyra::show::sphereCentre);

// Metaballs: the surface floats over its centre, bobbing up and down, within ±10 of it.
constexpr Vec3d metaballCentre = fromShow(halcyra::show::metaballCentre);
constexpr double metaballBob = halcyra::show::metaballBob;
// The light circles over the surface.
constexpr Vec3d metaballLightCentre = fromShow(halcyra::show::metaballLightCentre);

// Water: the plane's height, and the seven stones standing in a circle about the sculpture's axis.
constexpr double waterHeight = halcyra::show::waterHeight;
constexpr int waterStoneCount = 7;
constexpr double waterStoneAzimuth(int stone) {
    return 360.0 / waterStoneCount * stone + 10.0;
}

// Cube rain: cubes fall within 15 of the vertical axis from height 80 to −120 (the cage's ribs reach past
// both); points fill the box |x|, |z| ≤ this, |y| ≤ 100.
constexpr double rainPointsHalfWidth = halcyra::show::rainPointsHalfWidth;

// Greetings: the cube of edge 10 at (0.2, 0, 2.2) turns about its centre; the eye orbits the origin within
// |x|, |z| ≤ 17 and |y| ≤ 11, so within this distance of it.
constexpr double greetingEyeReach = 26.5;

// Planet: the track is followed until this time (the scene glides the eye towards (0, 0, 250) before, and
// leaves it there); the planet model's size.
constexpr double planetTrackEnd = halcyra::show::planetTrackEnd;
constexpr double planetRadius = 60.0;
// The planet's ring: three bands in its equator plane, inner and outer radius each, with dark lanes between
// them. The ring's sheet and its picture run across all three, from the first inner radius to the last
// outer one.
constexpr double ringBands[3][2] = {{78.0, 90.0}, {92.0, 103.0}, {104.5, 112.0}};
constexpr double ringInner = ringBands[0][0];
constexpr double ringOuter = ringBands[2][1];

} // namespace halcyra::tools::show
