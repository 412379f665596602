#include "PacketWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

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
    putInt(out, static_cast<uint32_t>(contents.textures.size()));
    for (const PacketTexture& texture : contents.textures) {
        putBlock(out, texture.name);
        putBlock(out, texture.png.data(), texture.png.size());
    }
    for (int section = 1; section <= 3; ++section)
        putInt(out, 0);
    putInt(out, static_cast<uint32_t>(contents.programs.size() * 2));
    for (const PacketProgram& program : contents.programs) {
        putBlock(out, program.key + ".vert");
        putBlock(out, program.vertexSource);
        putBlock(out, program.key + ".frag");
        putBlock(out, program.fragmentSource);
    }
    putInt(out, 0);
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

bool readShaderFolder(const std::string& folder, std::vector<PacketProgram>& programs, std::string& error) {
    namespace fs = std::filesystem;
    std::set<std::string> vertexKeys, fragmentKeys;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(folder, code)) {
        const fs::path& path = entry.path();
        if (path.extension() == ".vert")
            vertexKeys.insert(path.stem().string());
        else if (path.extension() == ".frag")
            fragmentKeys.insert(path.stem().string());
    }
    if (code) {
        error = "cannot read " + folder + ": " + code.message();
        return false;
    }
    auto readText = [&](const fs::path& path, std::string& text) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        text = content.str();
        if (!in && !in.eof()) {
            error = "cannot read " + path.string();
            return false;
        }
        return true;
    };

    // The vertex source of each key: its own <key>.vert, or the shared source that shared/programs names.
    std::map<std::string, fs::path> vertexSources;
    for (const std::string& key : vertexKeys)
        vertexSources[key] = fs::path(folder) / (key + ".vert");
    const fs::path sharedList = fs::path(folder) / "shared" / "programs";
    if (fs::exists(sharedList, code)) {
        std::string text;
        if (!readText(sharedList, text))
            return false;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string source, key;
            if (!(words >> source) || source[0] == '#')
                continue;
            while (words >> key) {
                if (vertexKeys.count(key)) {
                    error = key + " has both " + key + ".vert and the shared " + source;
                    return false;
                }
                if (!vertexSources.emplace(key, sharedList.parent_path() / source).second) {
                    error = "shared/programs gives " + key + " two vertex sources";
                    return false;
                }
                if (!fragmentKeys.count(key)) {
                    error = "shared/programs names " + key + ", which has no " + key + ".frag";
                    return false;
                }
            }
        }
    }

    for (const std::string& key : fragmentKeys) {
        const auto vertex = vertexSources.find(key);
        if (vertex == vertexSources.end()) {
            error = key + ".frag has no " + key + ".vert";
            return false;
        }
        PacketProgram program{key, {}, {}};
        if (!readText(vertex->second, program.vertexSource) ||
            !readText(fs::path(folder) / (key + ".frag"), program.fragmentSource))
            return false;
        programs.push_back(std::move(program));
    }
    for (const std::string& key : vertexKeys) {
        if (!fragmentKeys.count(key)) {
            error = key + ".vert has no " + key + ".frag";
            return false;
        }
    }
    return true;
}

} // namespace halcyra::tools
