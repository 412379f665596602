// The data packet's writer, in the layout the program's reader takes (assets/PacketLayout.h): textures as
// a name with its extension and the PNG bytes, each program as "<key>.vert" with its vertex source and
// "<key>.frag" with its fragment source; the other sections stay empty.
#pragma once

#include "assets/ShaderFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra::tools {

struct PacketTexture {
    std::string name; // file name with its extension, e.g. "c_noise.png"
    std::vector<uint8_t> png;
};

struct PacketProgram {
    std::string key;
    std::string vertexSource;
    std::string fragmentSource;
};

// The programs of a shader folder (assets/ShaderFolder.h) as the packet holds them. False with the reason
// when the folder does not read.
bool readPacketPrograms(const std::string& folder, std::vector<PacketProgram>& programs, std::string& error);

struct PacketContents {
    std::vector<PacketTexture> textures;
    std::vector<PacketProgram> programs;
};

std::vector<uint8_t> writePacket(const PacketContents& contents);

// A picture file for section 0, named by its file name. The show reads packet textures as PNG only (any
// other file would leave its texture silently empty), so anything else is refused: false with the reason.
bool readPacketTexture(const std::string& path, PacketTexture& texture, std::string& error);

} // namespace halcyra::tools
