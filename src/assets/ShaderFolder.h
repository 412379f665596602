// ShaderFolder: the GLSL sources as the repository keeps them (content/shaders): <key>.frag with <key>.vert,
// or with a vertex source of shared/ that shared/programs names for the key (lines "<source> <key> ...",
// # starts a comment). The packet tool packs them into data.qz; the program reads them from a folder with
// --shaders, and the studio rebuilds a program when one of its two files changes.
#pragma once

#include <string>
#include <vector>

namespace halcyra {

struct ShaderSources {
    std::string key;
    std::string vertexSource;
    std::string fragmentSource;
    std::string vertexFile; // the files they were read from
    std::string fragmentFile;
};

// Every program of `folder`, in key order. False with the reason when a source has no partner or two, or
// cannot be read.
bool readShaderFolder(const std::string& folder, std::vector<ShaderSources>& programs, std::string& error);

} // namespace halcyra
