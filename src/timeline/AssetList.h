// The four asset lists (textures/tex, models/models, models/cameras, models/lights): a count, then that
// many lines, each a path relative to the data folder. The registered name is cut out of the line. Damage
// (a missing file, no count, an over-long or too-short line, fewer lines than announced) is reported in
// one message naming the file, and reading goes on with what is sound.
#pragma once

#include "assets/TextureLoader.h"

#include <functional>
#include <string>

namespace halcyra {

// Longest line a list may hold, in characters.
constexpr size_t maxListLineLength = 256;

// The decoder for a texture line: JPEG if ".jpg" occurs anywhere, else PNG if ".png" does, else TGA.
ImageKind textureKindOf(const std::string& line);

// "textures/c_noise.jpg" → "c_noise.jpg": the line without its first 9 characters.
std::string textureNameOf(const std::string& line);

// "models/planet.3ds" → "planet": the line without its first 7 and its last 4 characters.
std::string modelNameOf(const std::string& line);

// Shortest line that leaves a name of at least one character.
constexpr size_t minTextureLineLength = 10;
constexpr size_t minModelLineLength = 12;

// Reads the list at `path`. `visit` is called once for every line the count announces and the file
// holds, with the line, or with null for a line that was reported and skipped (longer than
// maxListLineLength, or shorter than `minimumLength`). Returns the number of lines visited.
int readAssetList(const char* path, size_t minimumLength,
                  const std::function<void(const std::string* line)>& visit);

} // namespace halcyra
