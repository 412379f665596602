// TextureManager: every decoded image of the show by name, in registration order. The data packet and the
// texture list fill it during loading; scenes, the 3DS material reader and the loading screen look names up
// (exact, case-sensitive). The Engine's teardown releases it with every GL texture it made.
#pragma once

#include "assets/PointerList.h"
#include "assets/Texture.h"
#include "core/Singleton.h"

#include <memory>

namespace halcyra {

// destroy() tears the registry down (GL textures deleted) and deletes the object; instance() makes a new one.
class TextureManager : public Singleton<TextureManager> {
public:
    // Registers `texture`; a name already taken shows "prc" for each equal name and the texture is dropped.
    void add(std::unique_ptr<Texture> texture);
    // The first texture named exactly `name`, or null after "Required texture not found." with the name.
    Texture* find(const char* name) const;
    // Decodes the file at `path` (1 TGA, 2 JPEG, 3 PNG) and registers it as `name`, decoded or not.
    void loadFile(const char* path, const char* name, int kind);
    // Deletes every GL texture and releases every texture, in registration order.
    void teardown();

    PointerList<Texture> textures{5};

private:
    friend class Singleton<TextureManager>;
    TextureManager() = default;
    friend struct std::default_delete<TextureManager>;
    ~TextureManager();
};

} // namespace halcyra
