// MarchingCubesTables: the standard published marching-cubes tables (the 256-entry edge table and the
// 256 × 16 triangle table) and the corner pairs of the twelve cell edges. Case bit c is set when corner c
// lies below the iso level; the edge entry has bit e set when edge e crosses the surface, and each
// triangle row lists edge numbers in threes, ended by -1. Used by the metaball polygoniser.
#pragma once

#include <array>
#include <cstdint>

namespace halcyra {

struct MarchingCubesTables {
    static const std::array<uint16_t, 256> edgeTable;
    static const std::array<std::array<int8_t, 16>, 256> triTable;
    // The corners each edge joins, the first one first.
    static const std::array<std::array<int8_t, 2>, 12> edgeCorners;
};

} // namespace halcyra
