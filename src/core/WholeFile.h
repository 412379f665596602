// Writing a whole file at once, so that no half-written file ever has the real name: the bytes go to
// "<path>.part", which is renamed to `path` once complete, and removed when anything fails. Header only, for
// the program's outputs and the tools' alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace halcyra {

inline bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string partial = path + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

} // namespace halcyra
