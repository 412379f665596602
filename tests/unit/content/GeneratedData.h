// The content tool's whole output as the build made it beside the program, loaded once per test run as the
// program loads it: data.qz through the packet reader, every list line through the registries and the 3DS
// reader (no GL: textures are not uploaded and meshes keep their arrays). Tests read what came back, and
// the messages the loading showed.
#pragma once

#include "math/CameraTrack.h"
#include "scene3ds/LightTrack.h"
#include "scene3ds/Model.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace halcyra::test {

struct GeneratedData {
    std::filesystem::path folder; // the data folder: data.qz, the lists, textures/, models/
    std::vector<std::string> textureLines, modelLines, cameraLines, lightLines;
    std::vector<std::string> registeredTextures; // names in the texture registry after the packet and list
    std::vector<std::string> materialMaps;       // every map name a model's mesh was given
    std::vector<std::unique_ptr<Model>> models;  // in list order
    std::vector<std::unique_ptr<CameraTrack>> cameras;
    std::vector<std::unique_ptr<LightTrack>> lights;
    std::vector<std::string> messages;

    const Model* model(const std::string& name) const;
};

const GeneratedData& generatedData();

} // namespace halcyra::test
