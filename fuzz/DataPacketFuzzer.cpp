// data.qz from fuzzed bytes: every section, block and texture of the packet reader, then the registries
// are emptied for the next input.
#include "FuzzSupport.h"

#include "assets/DataPacket.h"
#include "assets/ShaderManager.h"
#include "assets/TextureManager.h"
#include "core/GlExtensions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace halcyra;
    fuzz::dropMessages();
    // Registering programs needs no context, only a driver that offers GLSL.
    GlExtensions& ext = GlExtensions::instance();
    for (GlExtension e : {GlExtension::ArbShaderObjects, GlExtension::ArbVertexShader,
                          GlExtension::ArbFragmentShader, GlExtension::ArbShadingLanguage100})
        ext.flags[static_cast<int>(e)] = 1;

    try {
        DataPacket::read(data, size);
    } catch (const fuzz::ProcessEnd&) {
    }
    for (const auto& texture : TextureManager::instance().textures)
        fuzz::checkTexture(*texture);
    ShaderManager::destroy();
    TextureManager::destroy();
    return 0;
}
