// Model: one 3DS file as the show draws it: a name, its meshes in file order and one animation node per
// keyframer object node. A mesh is posed by the node of its own name, or node i for mesh i where no node
// has its name; `animate` bakes the pose for a scene time into the meshes' vertex buffers at 25 frames per
// second, without interpolation. Built by the 3DS reader, owned by the ModelLibrary, drawn by the Engine.
#pragma once

#include "assets/PointerList.h"
#include "scene3ds/AnimationNode.h"
#include "scene3ds/Mesh.h"

#include <cstdint>
#include <string>

namespace halcyra {

class Model {
public:
    explicit Model(std::string modelName);

    // Poses every mesh for `time` ms: frame trunc(time × 0.025). A mesh past the last node takes the last
    // node; without nodes the meshes stay as they are.
    void animate(float time);

    // The node that poses mesh `meshIndex`: the first node with the mesh's name, else the node at the same
    // index (the last node past the end); null without nodes.
    const AnimationNode* nodeFor(int32_t meshIndex) const;

    std::string name;
    int32_t meshCount = 0;
    PointerList<Mesh> meshes{0};
    PointerList<AnimationNode> nodes{0};
};

} // namespace halcyra
