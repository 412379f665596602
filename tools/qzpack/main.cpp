// qzpack: writes the data packet from the GLSL pairs of a shader folder and any PNG textures named.
//   qzpack --out data.qz --shaders content/shaders [--texture picture.png ...]

#include "PacketWriter.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

int main(int argc, char** argv) {
    using namespace halcyra::tools;
    std::string out;
    std::string shaders;
    PacketContents contents;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--out") {
            out = value;
        } else if (option == "--shaders") {
            shaders = value;
        } else if (option == "--texture") {
            PacketTexture texture;
            std::string error;
            if (!readPacketTexture(value, texture, error)) {
                std::fprintf(stderr, "qzpack: %s\n", error.c_str());
                return 1;
            }
            contents.textures.push_back(std::move(texture));
        } else {
            std::fprintf(stderr, "qzpack: unknown option %s\n", option.c_str());
            return 1;
        }
    }
    if (out.empty() || (argc % 2) == 0) {
        std::fprintf(stderr, "usage: qzpack --out FILE [--shaders DIR] [--texture FILE.png ...]\n");
        return 1;
    }
    std::string error;
    if (!shaders.empty() && !readPacketPrograms(shaders, contents.programs, error)) {
        std::fprintf(stderr, "qzpack: %s\n", error.c_str());
        return 1;
    }
    const std::vector<uint8_t> packet = writePacket(contents);
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(packet.data()), static_cast<std::streamsize>(packet.size()));
    if (!file) {
        std::fprintf(stderr, "qzpack: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
