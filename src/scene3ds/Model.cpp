#include "scene3ds/Model.h"

#include <cmath>

namespace halcyra {

Model::Model(std::string modelName) : name(std::move(modelName)) {}

void Model::animate(float time) {
    const double frames = std::trunc(double(time * 0.025f));
    // Times far outside the show (or not numbers) pose the first frame instead of overflowing.
    const int32_t frame = std::fabs(frames) < 1.0e9 ? static_cast<int32_t>(frames) : 0;
    for (int32_t i = 0; i < meshCount; ++i) {
        Mesh* mesh = meshes.at(i);
        const AnimationNode* node = nodeFor(i);
        if (mesh == nullptr || node == nullptr)
            continue;
        mesh->transform = node->matrixAt(frame, mesh->origin);
        mesh->normalTransform = Mat3::fromMat4(mesh->transform);
        mesh->applyTransform();
    }
}

const AnimationNode* Model::nodeFor(int32_t meshIndex) const {
    // Names pair them even where the file leaves an object out or orders its nodes otherwise.
    if (const Mesh* mesh = meshes.at(meshIndex))
        for (const auto& node : nodes)
            if (node->name == mesh->name)
                return node.get();
    return nodes.at(meshIndex);
}

} // namespace halcyra
