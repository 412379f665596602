#include "GeneratedData.h"

#include "assets/DataPacket.h"
#include "assets/TextureManager.h"
#include "scene3ds/ObjectLoader.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"
#include "timeline/AssetList.h"

namespace halcyra::test {
namespace {

std::vector<std::string> listLines(const char* path, size_t minimumLength) {
    std::vector<std::string> lines;
    readAssetList(path, minimumLength, [&](const std::string* line) { lines.push_back(line ? *line : ""); });
    return lines;
}

uint32_t readInt(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes.at(at + static_cast<size_t>(i)));
    return value;
}

// Reads the built data.qz's pictures (its first section) through the packet reader. The programs behind
// them would need GL to register, so the rest of the packet is replaced by empty sections.
void readPacketPictures(const std::string& packet) {
    size_t end = 4;
    for (uint32_t entry = 0, count = readInt(packet, 0); entry < count * 2; ++entry)
        end += 4 + readInt(packet, end);
    std::string picturesOnly = packet.substr(0, end) + std::string(5 * 4, '\0');
    DataPacket::read(reinterpret_cast<const uint8_t*>(picturesOnly.data()), picturesOnly.size());
}

GeneratedData load() {
    GeneratedData data;
    data.folder = HALCYRA_DATA_DIR;
    const WorkingDirectory inData(data.folder);
    MessageLog log;
    TextureManager& textures = TextureManager::instance();
    readPacketPictures(readFile("data.qz"));
    data.textureLines = listLines("textures/tex", minTextureLineLength);
    for (const std::string& line : data.textureLines)
        textures.loadFile(line.c_str(), textureNameOf(line).c_str(), static_cast<int>(textureKindOf(line)));
    for (const auto& texture : textures.textures)
        data.registeredTextures.push_back(texture->name);

    std::vector<std::string> uploads;
    data.modelLines = listLines("models/models", minModelLineLength);
    for (const std::string& line : data.modelLines) {
        ObjectLoader loader;
        loader.createBuffers = false;
        loader.uploadTexture = [&uploads](Texture& texture, uint32_t, uint32_t) {
            uploads.push_back(texture.name);
            TextureBinding binding;
            binding.id = static_cast<uint32_t>(uploads.size());
            return binding;
        };
        loader.loadModel(line.c_str(), modelNameOf(line).c_str());
        for (int32_t i = 0; i < loader.model->meshCount; ++i)
            for (const TextureBinding& map :
                 {loader.model->meshes.at(i)->material->texture, loader.model->meshes.at(i)->material->bump})
                data.materialMaps.push_back(map.id >= 1 && map.id <= uploads.size() ? uploads[map.id - 1]
                                                                                    : "");
        data.models.push_back(std::move(loader.model));
    }
    data.cameraLines = listLines("models/cameras", minModelLineLength);
    for (const std::string& line : data.cameraLines)
        data.cameras.push_back(ObjectLoader().loadCameraTrack(line.c_str()));
    data.lightLines = listLines("models/lights", minModelLineLength);
    for (const std::string& line : data.lightLines)
        data.lights.push_back(ObjectLoader().loadLightTrack(line.c_str()));
    data.messages = log.texts();
    TextureManager::destroy();
    return data;
}

} // namespace

const Model* GeneratedData::model(const std::string& name) const {
    for (const auto& m : models)
        if (m->name == name)
            return m.get();
    return nullptr;
}

const GeneratedData& generatedData() {
    static const GeneratedData data = load();
    return data;
}

} // namespace halcyra::test
