#include "assets/TextureManager.h"

#include "core/Message.h"

namespace halcyra {

TextureManager& TextureManager::instance() {
    static TextureManager manager;
    return manager;
}

void TextureManager::add(std::unique_ptr<Texture> texture) {
    bool taken = false;
    for (const auto& registered : textures) {
        if (registered->name == texture->name) {
            showMessage("prc");
            taken = true;
        }
    }
    if (!taken)
        textures.push_back(std::move(texture));
}

Texture* TextureManager::find(const char* name) {
    for (const auto& texture : textures)
        if (texture->name == name)
            return texture.get();
    showMessage("Required texture not found.");
    return nullptr;
}

void TextureManager::loadFile(const char* path, const char* name, int kind) {
    (void)path;
    (void)kind;
    // Placeholder until the image decoders exist: the texture is registered without pixels.
    add(std::make_unique<Texture>(name));
}

} // namespace halcyra
