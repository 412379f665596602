#include "scene3ds/ModelLibrary.h"

#include "scene3ds/Mesh.h"
#include "scene3ds/Model.h"
#include "scene3ds/ObjectLoader.h"

namespace halcyra {
ModelLibrary::~ModelLibrary() {
    meshes.clear();
    models.clear();
}

void ModelLibrary::add(std::unique_ptr<Model> model) {
    if (find(model->name.c_str()) == nullptr)
        models.append(std::move(model));
}

Model* ModelLibrary::find(const char* name) const {
    for (const auto& model : models)
        if (name != nullptr && model->name == name)
            return model.get();
    return nullptr;
}

void ModelLibrary::load(const char* path, const char* name) {
    ObjectLoader loader;
    loader.uploadTexture = uploadTexture;
    loader.loadModel(path, name);
    add(std::move(loader.model));
}

} // namespace halcyra
