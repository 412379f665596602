#include "GeneratedData.h"

#include "assets/DataPacket.h"
#include "assets/TextureManager.h"
#include "scene3ds/ObjectLoader.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"
#include "timeline/AssetList.h"

#include "ContentWriter.h"
#include "PacketWriter.h"

#include <algorithm>

namespace halcyra::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> listLines(const char* path, size_t minimumLength) {
    std::vector<std::string> lines;
    readAssetList(path, minimumLength, [&](const std::string* line) { lines.push_back(line ? *line : ""); });
    return lines;
}

// The packet the build makes with qzpack: the packet folder's pictures, by file name.
void readPacketPictures(const fs::path& folder) {
    tools::PacketContents contents;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string bytes = readFile(file);
        contents.textures.push_back(
            {file.filename().string(), std::vector<uint8_t>(bytes.begin(), bytes.end())});
    }
    const std::vector<uint8_t> packet = tools::writePacket(contents);
    DataPacket::read(packet.data(), packet.size());
}

GeneratedData load() {
    static TempDir dir;
    GeneratedData data;
    data.folder = dir.path() / "data";
    data.packetFolder = dir.path() / "packet";
    tools::writeContent(data.folder, data.packetFolder);

    const WorkingDirectory inData(data.folder);
    MessageLog log;
    TextureManager& textures = TextureManager::instance();
    readPacketPictures(data.packetFolder);
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
