// ShowLayout: the numbers the show's parts must agree on, written once. The scenes time and place what they
// draw by them; the content tool fits the models, pictures and camera paths to them; the soundtrack tool
// fills the scenes' beats with music and marks their moments; the tests derive each side from the other.
// Header only, below every layer: the program, its tools and its tests include it alike.
#pragma once

#include <array>

namespace halcyra::show {

struct Point {
    float x, y, z;
};

// ---- Time: the music's grid
// --------------------------------------------------------------------------------
constexpr int tempo = 133; // beats a minute
constexpr int beatsPerBar = 4;
constexpr double beatMs = 60000.0 / tempo;
constexpr double barMs = beatMs * beatsPerBar;
// The show's frame grid: 60 frames a second. Real-time play replays a start or a seek on it (so a seek lands
// on a frame a capture at 60 fps draws), and the flicker terms read the time on it.
constexpr int gridRate = 60;

// The seven scenes in beats, in playback order: the opening, the credits, the metaballs, the water, the cube
// rain, the greetings, the planet and its end.
constexpr std::array<int, 7> sceneBeats{48, 96, 64, 64, 64, 64, 116};
constexpr int showBeats = sceneBeats[0] + sceneBeats[1] + sceneBeats[2] + sceneBeats[3] + sceneBeats[4] +
                          sceneBeats[5] + sceneBeats[6];
constexpr int bars = showBeats / beatsPerBar;
static_assert(showBeats % beatsPerBar == 0, "the show is whole bars long");

// A scene's length: its beats on the grid, as the nearest float (the scenes count time in float ms).
constexpr float lengthOf(int beats) {
    return static_cast<float>(beats * beatMs);
}
constexpr float openingLength = 21654.134765625f;
constexpr float creditsLength = 43308.26953125f;
constexpr float metaballsLength = 28872.1796875f;
constexpr float waterLength = 28872.1796875f;
constexpr float cubeRainLength = 28872.1796875f;
constexpr float greetingsLength = 28872.1796875f;
constexpr float planetLength = 52330.828125f;
static_assert(openingLength == lengthOf(sceneBeats[0]) && creditsLength == lengthOf(sceneBeats[1]) &&
                  metaballsLength == lengthOf(sceneBeats[2]) && waterLength == lengthOf(sceneBeats[3]) &&
                  cubeRainLength == lengthOf(sceneBeats[4]) && greetingsLength == lengthOf(sceneBeats[5]) &&
                  planetLength == lengthOf(sceneBeats[6]),
              "every scene lasts its beats");

// ---- Moments in a scene (ms from its start)
// ----------------------------------------------------------------- Eight bars in, as the scenes count them:
// the opening's title card, the credits' beat and second part, and the grain's window in every scene.
constexpr float phraseMs = 14436.0f;
// The credits' beat clock and the cube rain's bar clock, as the scenes step them.
constexpr float creditsBeatMs = 451.11f;
constexpr float cubeRainBarMs = 1804.5114f;
// The greetings change group every two bars; the orbit widens for the last name.
constexpr float greetingMs = 3609.008f;
constexpr float greetingsWiderOrbit = 25263.05f;
// The planet: the eye glides towards (0, 0, 250) from the first time and stops at the second, when the torus
// begins to shrink; it is gone 3000 ms later. From the last, the screen fades to white and the logo shows.
constexpr float planetGlideStart = 25090.0f;
constexpr float planetTrackEnd = 33090.0f;
constexpr float torusCollapseMs = 3000.0f;
constexpr float planetWhiteout = 45000.0f;

// The moments the music marks, in beats from its start: the beat in which the torus is gone is silent, and
// the white screen lands on the last sixteenth of bar 124.
constexpr double silentBeat = 480.0;
constexpr double whiteScreenBeat = 499.75;

// ---- Places (world units)
// ------------------------------------------------------------------------------------- The light of the
// credits and the planet.
constexpr Point farLight{194.0f, 55.0f, 91.0f};
// The torus of points about the origin in the credits and the planet, and the credits' sphere's centre.
constexpr float torusRadius = 200.0f;
constexpr Point sphereCentre{0.0f, 57.0f, 0.0f};
// The metaball surface floats over its centre, bobbing up and down; the light circles over it.
constexpr Point metaballCentre{19.0f, 40.0f, 0.0f};
constexpr float metaballBob = 25.0f;
constexpr Point metaballLightCentre{19.0f, 80.0f, 0.0f};
constexpr float metaballLightRadius = 10.0f;
// The water's plane.
constexpr float waterHeight = 10.0f;
// The cube rain's points fill the box |x|, |z| ≤ this, |y| ≤ 100.
constexpr float rainPointsHalfWidth = 20.0f;

} // namespace halcyra::show
