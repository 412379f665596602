// MeshMaterial: what a mesh is shaded with: its texture and bump map bindings, specular colour and
// shininess. A new material holds the defaults below; the 3DS reader then fills it from the file's
// material (or with stand-ins when the file names none). Owned by its Mesh.
#pragma once

#include "assets/Texture.h"

#include <cstdint>

namespace halcyra {

struct MeshMaterial {
    TextureBinding texture;
    TextureBinding bump;
    float specular[3] = {1.0f, 1.0f, 1.0f};
    int32_t mapCount = 0; // 2 once the reader has bound the texture and bump maps
    float shininess = 60.0f;
    bool fromFile = false; // set by the reader
};

} // namespace halcyra
