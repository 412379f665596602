// A 3DS model file with its shadow-info file, from one fuzzed input: the shadow-info text, a NUL byte, then
// the 3DS bytes. An input that starts with the NUL has no shadow-info file at all. The model is read
// without GL, then every node is posed at a few frames, as playback would.
#include "FuzzSupport.h"

#include "assets/TextureManager.h"
#include "scene3ds/ObjectLoader.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace halcyra;
    static const fuzz::ScratchFile model(".3ds");
    static const fuzz::ScratchFile shadowInfo(""); // the model's path without its extension
    fuzz::dropMessages();

    const auto* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t textLength = nul != nullptr ? static_cast<size_t>(nul - data) : size;
    const size_t modelStart = nul != nullptr ? textLength + 1 : size;
    if (textLength == 0 && nul != nullptr)
        shadowInfo.remove();
    else
        shadowInfo.write(data, textLength);
    model.write(data + modelStart, size - modelStart);

    ObjectLoader loader;
    loader.createBuffers = false;
    loader.loadModel(model.path(), "fuzz");
    const Model& loaded = *loader.model;
    if (loaded.meshCount != loaded.meshes.count())
        fuzz::contractBroken("the model's mesh count differs from its mesh list");
    for (const auto& mesh : loaded.meshes) {
        if (mesh->indices.size() != 3 * static_cast<size_t>(mesh->triangleCount) ||
            mesh->positions.size() != static_cast<size_t>(mesh->vertexCount))
            fuzz::contractBroken("a mesh's arrays do not match its counts");
        for (uint32_t index : mesh->indices)
            if (index >= static_cast<uint32_t>(mesh->vertexCount))
                fuzz::contractBroken("a mesh has an index past its vertices");
    }
    for (const auto& node : loaded.nodes)
        for (int32_t frame : {0, 1, 7, 1000, -1})
            node->matrixAt(frame, Vec3{});
    TextureManager::destroy();
    return 0;
}
