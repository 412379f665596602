#include "assets/DataPacket.h"

#include "assets/PacketLayout.h"
#include "assets/ShaderManager.h"
#include "assets/Texture.h"
#include "assets/TextureLoader.h"
#include "assets/TextureManager.h"
#include "core/Message.h"
#include "core/Platform.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace halcyra {
namespace {

// A front-to-back reader of the packet's integers and blocks that never reads past the end.
class PacketReader {
public:
    PacketReader(const uint8_t* bytes, size_t length) : data(bytes), size(length) {}

    bool readInt(int32_t& value) {
        if (size - position < 4)
            return false;
        value = static_cast<int32_t>(static_cast<uint32_t>(data[position]) |
                                     static_cast<uint32_t>(data[position + 1]) << 8 |
                                     static_cast<uint32_t>(data[position + 2]) << 16 |
                                     static_cast<uint32_t>(data[position + 3]) << 24);
        position += 4;
        return true;
    }

    // A block's payload, in place. False when the length is negative or runs past the end.
    bool readBlock(const uint8_t*& payload, size_t& length) {
        int32_t declared = 0;
        if (!readInt(declared) || declared < 0 || static_cast<size_t>(declared) > size - position)
            return false;
        payload = data + position;
        length = static_cast<size_t>(declared);
        position += length;
        return true;
    }

    // Every entry takes at least two empty blocks, so a count above this cannot be real.
    size_t mostEntriesLeft() const { return (size - position) / 8; }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

bool readSection(PacketReader& reader, int section, TextureLoader& loader) {
    int32_t count = 0;
    if (!reader.readInt(count) || count < 0)
        return false;
    // The shader section's entries come in pairs, one program each; the loop below reads a pair at a time.
    const bool shaders = section == packet::shaderSection;
    if (shaders && count % packet::entriesPerProgram != 0)
        return false;
    const size_t entries = static_cast<size_t>(count) / (shaders ? packet::entriesPerProgram : 1);
    const size_t blocks = entries * packet::blocksPerEntry * (shaders ? packet::entriesPerProgram : 1);
    if (blocks / packet::blocksPerEntry > reader.mostEntriesLeft())
        return false;

    for (size_t i = 0; i < entries; ++i) {
        if (shaders) {
            const uint8_t* vertexName = nullptr;
            const uint8_t* vertexSource = nullptr;
            const uint8_t* fragmentName = nullptr;
            const uint8_t* fragmentSource = nullptr;
            size_t vertexNameLength = 0, vertexLength = 0, fragmentNameLength = 0, fragmentLength = 0;
            if (!reader.readBlock(vertexName, vertexNameLength) ||
                !reader.readBlock(vertexSource, vertexLength) ||
                !reader.readBlock(fragmentName, fragmentNameLength) ||
                !reader.readBlock(fragmentSource, fragmentLength))
                return false;
            const std::string key = packetKey(fragmentName, fragmentNameLength);
            ShaderManager::instance().add(
                std::make_unique<ShaderProgram>(),
                std::string(reinterpret_cast<const char*>(vertexSource), vertexLength),
                std::string(reinterpret_cast<const char*>(fragmentSource), fragmentLength), key.c_str());
            continue;
        }
        const uint8_t* name = nullptr;
        const uint8_t* payload = nullptr;
        size_t nameLength = 0, payloadLength = 0;
        if (!reader.readBlock(name, nameLength) || !reader.readBlock(payload, payloadLength))
            return false;
        if (section == packet::textureSection) {
            auto texture = std::make_unique<Texture>(packetKey(name, nameLength));
            loader.decodeMemory(*texture, payload, payloadLength, static_cast<int>(ImageKind::Png));
            TextureManager::instance().add(std::move(texture));
        }
    }
    return true;
}

} // namespace

std::string packetKey(const uint8_t* name, size_t length) {
    size_t start = 0;
    while (start < length && name[start] == '.')
        ++start;
    size_t end = start;
    while (end < length && name[end] != '.')
        ++end;
    return std::string(reinterpret_cast<const char*>(name) + start, end - start);
}

void DataPacket::read(const uint8_t* bytes, size_t length) {
    PacketReader reader(bytes, length);
    TextureLoader loader;
    for (int section = 0; section < packet::sectionCount; ++section) {
        if (!readSection(reader, section, loader)) {
            showMessage("data packet is damaged");
            return;
        }
    }
}

DataPacket::DataPacket(const char* path) {
    std::FILE* file = std::fopen(dataFilePath(path).c_str(), "rb");
    if (file == nullptr) {
        showMessage("can't open data packet");
        return;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        showMessage("can't open data packet");
        return;
    }
    read(bytes.data(), bytes.size());
}

} // namespace halcyra
