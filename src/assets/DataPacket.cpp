#include "assets/DataPacket.h"

#include "core/Message.h"

#include <cstdio>

namespace halcyra {

DataPacket::DataPacket(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        showMessage("can't open data packet");
        return;
    }
    // Placeholder until the packet's sections are read.
    std::fclose(file);
}

} // namespace halcyra
