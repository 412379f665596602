// Model: one 3DS file as the show draws it: a name, its meshes in file order and one animation node per
// keyframer object node.
#pragma once

#include <string>

namespace halcyra {

struct Model {
    std::string name;
};

} // namespace halcyra
