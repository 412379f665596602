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
constexpr double planetLength = 52330.828125;

// Credits: after this only the credits' meshes 0 and 1 are drawn, and the lines to the helpers begin.
constexpr double creditsSecondPart = 14436.0;
// Lit by a light standing here in the credits and planet scenes.
constexpr Vec3d farLight{194.0, 55.0, 91.0};
// The point torus of the credits and planet scenes: radius 200 about the origin.
constexpr double torusRadius = 200.0;
// The credits' point sphere: centre, and the radius it grows to by the end.
constexpr Vec3d sphereCentre{0.0, 57.0, 0.0};
constexpr double sphereFinalRadius = 61.0;

// Metaballs: the surface floats over (19, 40, 0), bobbing 25 up and down, within ±10 of its centre.
constexpr Vec3d metaballCentre{19.0, 40.0, 0.0};
constexpr double metaballBob = 25.0;
constexpr double metaballReach = 10.0;
// The light circles 10 about (19, 80, 0).
constexpr Vec3d metaballLightCentre{19.0, 80.0, 0.0};

// Water: the plane's height; the light circles 20 about (19, 150, 0).
constexpr double waterHeight = 10.0;
constexpr Vec3d waterLightCentre{19.0, 150.0, 0.0};

// Cube rain: cubes fall within 15 of the vertical axis from height 80 to −120; points fill the box
// |x|, |z| ≤ 20, |y| ≤ 100.
constexpr double rainRadius = 15.0;
constexpr double rainTop = 80.0;
constexpr double rainBottom = -120.0;
constexpr double rainPointsHalfWidth = 20.0;

// Greetings: the cube of edge 10 at (0.2, 0, 2.2) turns about its centre; the eye orbits the origin within
// |x|, |z| ≤ 17 and |y| ≤ 11.
constexpr Vec3d greetingCubeCentre{0.2, 0.0, 2.2};
constexpr double greetingCubeReach = 8.7; // half the cube's space diagonal
constexpr double greetingEyeReach = 26.5;

// Planet: the track is followed until 33090 ms; the eye glides to (0, 0, 250) from 25090 ms.
constexpr double planetTrackEnd = 33090.0;
constexpr double planetGlideStart = 25090.0;
constexpr Vec3d planetGlideEnd{0.0, 0.0, 250.0};
constexpr double planetRadius = 60.0;

} // namespace halcyra::tools::show
