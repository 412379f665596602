// What the program's scenes put around the models, as numbers the models, their pictures and the camera
// paths are fitted to: scene lengths, where each scene lights, what it draws in code and where. The scenes
// own these values; they are repeated here because the data must be made to fit them.
#pragma once

#include "Geometry.h"

namespace halcyra::tools::show {

// Scene lengths in ms.
constexpr double creditsLength = 43308.26953125;
constexpr double metaballsLength = 28872.1796875;
constexpr double waterLength = 28872.1796875;
constexpr double cubeRainLength = 28872.1796875;
constexpr double greetingsLength = 28872.1796875;

// Credits: after this only the credits' meshes 0 and 1 are drawn, and the lines to the helpers begin.
constexpr double creditsSecondPart = 14436.0;
// Lit by a light standing here in the credits and planet scenes.
constexpr Vec3d farLight{194.0, 55.0, 91.0};
// The point torus of the credits and planet scenes: radius 200 about the origin.
constexpr double torusRadius = 200.0;
// The credits' point sphere: its centre (it grows to a radius of about 61 by the end).
constexpr Vec3d sphereCentre{0.0, 57.0, 0.0};

// Metaballs: the surface floats over (19, 40, 0), bobbing 25 up and down, within ±10 of its centre.
constexpr Vec3d metaballCentre{19.0, 40.0, 0.0};
constexpr double metaballBob = 25.0;
// The light circles 10 about (19, 80, 0).
constexpr Vec3d metaballLightCentre{19.0, 80.0, 0.0};

// Water: the plane's height.
constexpr double waterHeight = 10.0;

// Cube rain: cubes fall within 15 of the vertical axis from height 80 to −120 (the cage's ribs reach past
// both); points fill the box |x|, |z| ≤ 20, |y| ≤ 100.
constexpr double rainPointsHalfWidth = 20.0;

// Greetings: the cube of edge 10 at (0.2, 0, 2.2) turns about its centre; the eye orbits the origin within
// |x|, |z| ≤ 17 and |y| ≤ 11, so within this distance of it.
constexpr double greetingEyeReach = 26.5;

// Planet: the track is followed until 33090 ms (from 25090 ms the scene glides the eye towards
// (0, 0, 250), and leaves it there).
constexpr double planetTrackEnd = 33090.0;
constexpr double planetRadius = 60.0;

} // namespace halcyra::tools::show
