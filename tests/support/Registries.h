// Destroys, at the end of its scope, the registries and libraries a test filled (the texture and shader
// registries, the model and light libraries, the camera), as the Engine's teardown does in the show.
#pragma once

namespace halcyra::test {

void destroyRegistries();

class RegistryScope {
public:
    RegistryScope() = default;
    ~RegistryScope();
    RegistryScope(const RegistryScope&) = delete;
    RegistryScope& operator=(const RegistryScope&) = delete;
};

} // namespace halcyra::test
