// The production's pictures, one function each, made from fixed seeds so that every run paints the same
// pixels. Each returns a Raster of three channels, rows top first, at the size the file is written with;
// the surfaces that glow by themselves (the glow strips, the planet's ring, the credits) add a fourth, the
// alpha the lit-surface program reads as 1 − glow.
// The wordmarks draw text with the machine's Liberation and DejaVu faces and throw std::runtime_error
// (naming the missing family) when a face is not installed.
#pragma once

#include "Raster.h"

#include <array>
#include <string>

namespace halcyra::tools {

// The eight greeted groups in the order the greetings show them.
const std::array<std::string, 8>& greetedGroups();

// Film grain and the first scene's cube reflections: grey fractal noise, 256 × 256, tiles both ways.
Raster noiseTexture();
// The title card on the band over the middle half of the screen: the wordmark on blue-black, 1024 × 512.
Raster titleCard();
// The end logo on the white end screen: the group's name and the year, dark on white, 1024 × 512.
Raster endLogo();
// Water: a tangent-space normal map of rolling waves (512 × 512) and a du/dv map of a slower swell
// (256 × 256); both tile both ways.
Raster waterNormalMap();
Raster waterDistortionMap();
// The first scene's scrolling mask: a soft shade towards the top and bottom rows, the same in every
// column, 16 × 256, tiles both ways.
Raster scrollingMask();
// Screen masks multiplied onto the finished picture (white keeps it): a vignette (512 × 512), letterbox
// bars (1024 × 1024) and a faint vignette (512 × 512).
Raster vignetteMask();
Raster letterboxMask();
Raster faintVignetteMask();
// Soft studio lights on dark as a mirror ball reflects them (a sphere map), 512 × 512.
Raster environmentMap();
// A greeted group's cube face (its name on a steel plate), the face's embossed normal map and its du/dv
// map, 512 × 512 each; the outer border is flat so opposite edges meet.
Raster greetingFace(int group);
Raster greetingNormalMap(int group);
Raster greetingDistortionMap(int group);
// The coverage of a group's name and of the "greetings" line over it, 512 × 512, turned as its face paints
// them: from the name towards the line is up for the name.
struct GreetingLettering {
    Raster name;
    Raster label;
};
GreetingLettering greetingLettering(int group);
// The models' surfaces. Brushed steel panels (512 × 512), the same panels darker for floors (they share
// the steel's normal map) and teal ceramic tiles (256 × 256) with their normal maps, the ice-white glow of
// lit strips (64 × 64), the amber of small lamps (4 × 4) and a flat normal map (4 × 4) for smooth surfaces;
// all tile both ways.
Raster steelTexture();
Raster floorTexture();
Raster steelNormalMap();
Raster tealTexture();
Raster tealNormalMap();
Raster glowTexture();
Raster lampTexture();
Raster flatNormalMap();
// The planet's ring, 512 × 256: u around the ring (wraps left to right), v across it from inside out.
Raster ringTexture();
// The planet's surface (written as JPEG) and its normal map, 1024 × 512 over longitude (wraps left to
// right) and latitude; the normal map's alpha is 0, which gives the planet its atmosphere.
Raster planetTexture();
Raster planetNormalMap();
// The credits' panels on one 1024 × 1024 picture (see Credits.h) and its normal map.
Raster creditsTexture();
Raster creditsNormalMap();
// The loading screen's logo over the 1024 × 256 band of its canvas, with a groove for the progress bar.
Raster loadingLogo();
// The setup dialog's banner, 512 × 232.
Raster banner();
// The desktop icon, 256 × 256 with alpha: the wordmark's first letter on a rounded tile of night sky.
Raster appIcon();

} // namespace halcyra::tools
