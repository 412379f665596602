#include "assets/ShaderFolder.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace halcyra {

bool readShaderFolder(const std::string& folder, std::vector<ShaderSources>& programs, std::string& error) {
    namespace fs = std::filesystem;
    std::set<std::string> vertexKeys, fragmentKeys;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(folder, code)) {
        const fs::path& path = entry.path();
        if (path.extension() == ".vert")
            vertexKeys.insert(path.stem().string());
        else if (path.extension() == ".frag")
            fragmentKeys.insert(path.stem().string());
    }
    if (code) {
        error = "cannot read " + folder + ": " + code.message();
        return false;
    }
    auto readText = [&](const fs::path& path, std::string& text) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        text = content.str();
        if (!in && !in.eof()) {
            error = "cannot read " + path.string();
            return false;
        }
        return true;
    };

    // The vertex source of each key: its own <key>.vert, or the shared source that shared/programs names.
    std::map<std::string, fs::path> vertexSources;
    for (const std::string& key : vertexKeys)
        vertexSources[key] = fs::path(folder) / (key + ".vert");
    const fs::path sharedList = fs::path(folder) / "shared" / "programs";
    if (fs::exists(sharedList, code)) {
        std::string text;
        if (!readText(sharedList, text))
            return false;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string source, key;
            if (!(words >> source) || source[0] == '#')
                continue;
            while (words >> key) {
                if (vertexKeys.count(key)) {
                    error = key + " has both " + key + ".vert and the shared " + source;
                    return false;
                }
                if (!vertexSources.emplace(key, sharedList.parent_path() / source).second) {
                    error = "shared/programs gives " + key + " two vertex sources";
                    return false;
                }
                if (!fragmentKeys.count(key)) {
                    error = "shared/programs names " + key + ", which has no " + key + ".frag";
                    return false;
                }
            }
        }
    }

    for (const std::string& key : fragmentKeys) {
        const auto vertex = vertexSources.find(key);
        if (vertex == vertexSources.end()) {
            error = key + ".frag has no " + key + ".vert";
            return false;
        }
        ShaderSources program{
            key, {}, {}, vertex->second.string(), (fs::path(folder) / (key + ".frag")).string()};
        if (!readText(program.vertexFile, program.vertexSource) ||
            !readText(program.fragmentFile, program.fragmentSource))
            return false;
        programs.push_back(std::move(program));
    }
    for (const std::string& key : vertexKeys) {
        if (!fragmentKeys.count(key)) {
            error = key + ".vert has no " + key + ".frag";
            return false;
        }
    }
    return true;
}

} // namespace halcyra
