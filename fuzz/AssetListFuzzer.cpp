// An asset list from fuzzed bytes, read once as the texture list and once as a model list, with the
// name and decoder of every line it hands out.
#include "FuzzSupport.h"

#include "timeline/AssetList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace halcyra;
    static const fuzz::ScratchFile file(".list");
    fuzz::dropMessages();
    file.write(data, size);

    size_t calls = 0;
    const int textures = readAssetList(file.path(), minTextureLineLength, [&](const std::string* line) {
        ++calls;
        if (line == nullptr)
            return;
        if (line->size() < minTextureLineLength || line->size() > maxListLineLength)
            fuzz::contractBroken("the list handed out a line outside its length limits");
        const ImageKind kind = textureKindOf(*line);
        if (kind != ImageKind::Tga && kind != ImageKind::Jpeg && kind != ImageKind::Png)
            fuzz::contractBroken("a texture line has no decoder");
        if (textureNameOf(*line).empty())
            fuzz::contractBroken("a texture line long enough gave no name");
    });
    const int models = readAssetList(file.path(), minModelLineLength, [&](const std::string* line) {
        ++calls;
        if (line != nullptr && modelNameOf(*line).empty())
            fuzz::contractBroken("a model line long enough gave no name");
    });
    if (static_cast<size_t>(textures) + static_cast<size_t>(models) != calls)
        fuzz::contractBroken("the list's line count differs from the lines it visited");
    return 0;
}
