// DataPacket: reads data.qz, the packet of the show's PNG textures and GLSL program sources, into the
// texture and shader registries. Constructing it performs the whole read; nothing is kept afterwards.
// The packet is six sections, each a 32-bit count and its entries, every entry made of length-prefixed
// blocks. A packet that is damaged (a count or length that cannot be right, a file ending inside a block,
// an odd number of shader sources) is read up to the damage and reported once: "data packet is damaged".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace halcyra {

class DataPacket {
public:
    explicit DataPacket(const char* path);

    // Reads a packet held in memory; the file constructor reads the file and calls this.
    static void read(const uint8_t* bytes, size_t length);
};

// The registry key of a stored name: leading dots are skipped and the key ends before the next dot.
std::string packetKey(const uint8_t* name, size_t length);

} // namespace halcyra
