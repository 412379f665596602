#include "FuzzSupport.h"

#include "assets/Texture.h"
#include "assets/TextureLoader.h"
#include "core/Message.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace halcyra::fuzz {

void dropMessages() {
    static const bool installed = [] {
        setMessageSink([](const Message& message) {
            if (message.text == "shaderi on jo")
                throw ProcessEnd{};
        });
        return true;
    }();
    (void)installed;
}

const std::string& scratchFolder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "halcyra-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            contractBroken("no scratch folder can be made under the temporary folder");
        return pattern;
    }();
    return folder;
}

ScratchFile::ScratchFile(std::string_view suffix)
    : filePath(scratchFolder() + "/input" + std::string(suffix)) {}

ScratchFile::~ScratchFile() {
    std::error_code error;
    std::filesystem::remove(filePath, error);
    std::filesystem::remove(scratchFolder(), error); // only once the folder is empty
}

void ScratchFile::write(const uint8_t* bytes, size_t length) const {
    std::FILE* file = std::fopen(filePath.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(bytes, 1, length, file) == length;
    if (file != nullptr && std::fclose(file) != 0)
        contractBroken("the scratch file cannot be written");
    if (!written)
        contractBroken("the scratch file cannot be written");
}

void ScratchFile::remove() const {
    std::error_code error;
    std::filesystem::remove(filePath, error);
}

void contractBroken(const char* what) {
    std::fprintf(stderr, "halcyra fuzz target: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void checkTexture(const Texture& texture) {
    if (texture.pixels.empty()) {
        if (texture.width != 0 || texture.height != 0)
            contractBroken("a texture without pixels keeps a size");
        return;
    }
    if (texture.width <= 0 || texture.height <= 0 || texture.width > maxImageSide ||
        texture.height > maxImageSide)
        contractBroken("a decoded texture has a size outside 1 ... maxImageSide");
    if (texture.bitsPerPixel != 24 && texture.bitsPerPixel != 32)
        contractBroken("a decoded texture has neither 24 nor 32 bits per pixel");
    const size_t expected = static_cast<size_t>(texture.width) * static_cast<size_t>(texture.height) *
                            static_cast<size_t>(texture.bitsPerPixel / 8);
    if (texture.pixels.size() != expected)
        contractBroken("a decoded texture's pixel buffer does not match its size");
}

void decodeBothWays(const uint8_t* bytes, size_t length, int kind) {
    static const ScratchFile file(".image");
    dropMessages();
    TextureLoader loader;
    Texture fromMemory("memory");
    loader.decodeMemory(fromMemory, bytes, length, kind);
    checkTexture(fromMemory);

    file.write(bytes, length);
    Texture fromFile("file");
    loader.decodeFile(file.path(), fromFile, kind);
    checkTexture(fromFile);
    if (fromFile.pixels != fromMemory.pixels || fromFile.width != fromMemory.width ||
        fromFile.height != fromMemory.height || fromFile.format != fromMemory.format)
        contractBroken("decoding from a file and from memory give different textures");
}

} // namespace halcyra::fuzz
