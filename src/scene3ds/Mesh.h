// Mesh: one triangle mesh of a 3DS model with its material and vertex buffers.
#pragma once

namespace halcyra {

struct Mesh {};

} // namespace halcyra
