// ShaderWatch: the show's GLSL sources read from a folder laid out as the repository keeps them
// (--shaders content/shaders) in place of the data packet's, and, in the studio, read again whenever a file
// there changes. A program whose new sources build takes them (rebuilt at once when it is built); one that
// fails keeps its sources and its build, and the compiler's log is kept for the studio's overlay. Nothing
// here ends the program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace halcyra {

class ShaderWatch {
public:
    // Reads `folder` and gives every program it holds its sources (a key the packet lacks is registered).
    // Programs whose sources do not build keep the packet's; each is reported with its log.
    explicit ShaderWatch(std::string folder);

    // Looks at the folder's files (at most every 100 ms) and, when one changed, reads the folder again and
    // hands every program whose sources differ its new ones. True when a program took new sources.
    bool poll();
    // The logs of the programs whose current sources in the folder fail to build; empty when all build.
    std::string log() const;
    // Milliseconds since the newest file of the folder was written (as its time says).
    double sinceChangeMs() const;

private:
    bool apply(bool report);
    std::map<std::filesystem::path, std::filesystem::file_time_type> fileTimes() const;

    std::string folder;
    std::map<std::filesystem::path, std::filesystem::file_time_type> times;
    std::map<std::string, std::string> failures; // program key → the compiler's log
    uint64_t lastLook = 0;
};

} // namespace halcyra
