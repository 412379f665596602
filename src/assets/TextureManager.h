// TextureManager: every decoded image of the show by name, in registration order. The data packet and the
// texture list fill it during loading; scenes, the 3DS material reader and the loading screen look names up.
#pragma once

#include "assets/Texture.h"

#include <memory>
#include <vector>

namespace halcyra {

class TextureManager {
public:
    static TextureManager& instance();

    // Registers `texture` unless its name is taken ("prc" for each equal name).
    void add(std::unique_ptr<Texture> texture);
    // The first texture named exactly `name`, or null after "Required texture not found.".
    Texture* find(const char* name);
    // Decodes the file at `path` (kind 1 TGA, 2 JPEG, 3 PNG) and registers it as `name`, decoded or not.
    void loadFile(const char* path, const char* name, int kind);

    int count() const { return static_cast<int>(textures.size()); }

private:
    TextureManager() = default;
    std::vector<std::unique_ptr<Texture>> textures;
};

} // namespace halcyra
