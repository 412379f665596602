// DataPacket: reads data.qz, the packet of the show's PNG textures and GLSL program sources, into the
// texture and shader registries. Constructing it performs the whole read; nothing is kept afterwards.
#pragma once

namespace halcyra {

class DataPacket {
public:
    explicit DataPacket(const char* path);
};

} // namespace halcyra
