// ModelLibrary: the show's 3DS models by name, filled from the model list during loading; scenes find
// them by name. Torn down with the Engine.
#pragma once

#include "assets/PointerList.h"
#include "core/Singleton.h"
#include "scene3ds/Mesh.h"
#include "scene3ds/Model.h"
#include "scene3ds/ObjectLoader.h"

#include <memory>

namespace halcyra {

class ModelLibrary : public Singleton<ModelLibrary> {
public:
    // Keeps the first model of a name; a later one of the same name is dropped without a message.
    void add(std::unique_ptr<Model> model);
    // The first model named exactly `name`, or null (no message).
    Model* find(const char* name) const;
    // Reads the 3DS file at `path` and keeps it as `name`.
    void load(const char* path, const char* name);

    PointerList<Mesh> meshes{0};
    PointerList<Model> models{0};
    // Makes the GL textures of the models' material maps; the Engine installs its upload when it is made.
    TextureUploader uploadTexture;

private:
    friend class Singleton<ModelLibrary>;
    ModelLibrary() = default;
    friend struct std::default_delete<ModelLibrary>;
    ~ModelLibrary();
};

} // namespace halcyra
