#include "PacketWriter.h"

#include "assets/PacketLayout.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace halcyra::tools {
namespace {

void putInt(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putBlock(std::vector<uint8_t>& out, const void* data, size_t length) {
    putInt(out, static_cast<uint32_t>(length));
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + length);
}

void putBlock(std::vector<uint8_t>& out, const std::string& text) {
    putBlock(out, text.data(), text.size());
}

} // namespace

std::vector<uint8_t> writePacket(const PacketContents& contents) {
    std::vector<uint8_t> out;
    for (int section = 0; section < packet::sectionCount; ++section) {
        if (section == packet::textureSection) {
            putInt(out, static_cast<uint32_t>(contents.textures.size()));
            for (const PacketTexture& texture : contents.textures) {
                putBlock(out, texture.name);
                putBlock(out, texture.png.data(), texture.png.size());
            }
        } else if (section == packet::shaderSection) {
            putInt(out, static_cast<uint32_t>(contents.programs.size() * packet::entriesPerProgram));
            for (const PacketProgram& program : contents.programs) {
                putBlock(out, program.key + ".vert");
                putBlock(out, program.vertexSource);
                putBlock(out, program.key + ".frag");
                putBlock(out, program.fragmentSource);
            }
        } else {
            putInt(out, 0);
        }
    }
    return out;
}

bool readPacketTexture(const std::string& path, PacketTexture& texture, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    texture.name = std::filesystem::path(path).filename().string();
    texture.png.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (texture.png.size() < sizeof signature || !std::equal(signature, signature + 8, texture.png.begin())) {
        error = path + " is not a PNG file; packet textures must be PNG";
        return false;
    }
    return true;
}

bool readPacketPrograms(const std::string& folder, std::vector<PacketProgram>& programs, std::string& error) {
    std::vector<ShaderSources> sources;
    if (!readShaderFolder(folder, sources, error))
        return false;
    for (ShaderSources& program : sources)
        programs.push_back(
            {std::move(program.key), std::move(program.vertexSource), std::move(program.fragmentSource)});
    return true;
}

} // namespace halcyra::tools
