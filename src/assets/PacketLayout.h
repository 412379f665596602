// The data packet's layout, for its reader (DataPacket) and its writer (the packet tool) alike: six
// sections in order, each a little-endian 32-bit count of its entries and then the entries, every entry
// length-prefixed blocks. Section 0 holds textures (a name block and a PNG block each), section 4 the GLSL
// sources (a "<key>.vert" or "<key>.frag" block and its source each, so two entries a program); the rest
// are empty.
#pragma once

namespace halcyra::packet {

constexpr int sectionCount = 6;
constexpr int textureSection = 0;
constexpr int shaderSection = 4;
// Blocks in one entry of a section: a name and its bytes.
constexpr int blocksPerEntry = 2;
// Entries of the shader section per program: its vertex source and its fragment source.
constexpr int entriesPerProgram = 2;

} // namespace halcyra::packet
