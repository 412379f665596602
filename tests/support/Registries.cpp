#include "support/Registries.h"

#include "assets/ShaderManager.h"
#include "assets/TextureManager.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"

namespace halcyra::test {

void destroyRegistries() {
    LightLibrary::destroy();
    ShaderManager::destroy();
    ModelLibrary::destroy();
    TextureManager::destroy();
    Camera::destroy();
}

RegistryScope::~RegistryScope() {
    destroyRegistries();
}

} // namespace halcyra::test
