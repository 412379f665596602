#include "assets/TextureManager.h"

#include "assets/TextureLoader.h"
#include "core/Message.h"

#include <GL/gl.h>

#include <cstring>
#include <string>

namespace halcyra {
TextureManager::~TextureManager() = default;

void TextureManager::add(std::unique_ptr<Texture> texture) {
    bool taken = false;
    for (const auto& registered : textures) {
        if (registered->name == texture->name) {
            showMessage("prc");
            taken = true;
        }
    }
    if (!taken)
        textures.append(std::move(texture));
}

Texture* TextureManager::find(const char* name) const {
    for (const auto& texture : textures)
        if (name != nullptr && texture->name == name)
            return texture.get();
    showMessage(std::string("Required texture not found. \"") + (name != nullptr ? name : "") + "\"");
    return nullptr;
}

void TextureManager::loadFile(const char* path, const char* name, int kind) {
    auto texture = std::make_unique<Texture>(name);
    TextureLoader loader;
    loader.decodeFile(path, *texture, kind);
    add(std::move(texture));
}

void TextureManager::teardown() {
    for (const auto& texture : textures) {
        if (texture->binding.id != TextureBinding::noObject)
            glDeleteTextures(1, &texture->binding.id);
    }
    textures.clear();
}

} // namespace halcyra
