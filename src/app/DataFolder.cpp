#include "app/DataFolder.h"

#include <system_error>

namespace halcyra {

// The build defines it from the install layout.
const char* const installedDataFolder = HALCYRA_INSTALLED_DATA_FOLDER;

namespace fs = std::filesystem;

namespace {

bool holdsPacket(const fs::path& folder) {
    std::error_code code;
    return fs::is_regular_file(folder / "data.qz", code);
}

} // namespace

fs::path findDataFolder(const fs::path& program) {
    if (!program.has_parent_path())
        return {};
    const fs::path programFolder = program.parent_path();
    if (holdsPacket(programFolder))
        return programFolder;
    const fs::path installed = (programFolder / installedDataFolder).lexically_normal();
    if (holdsPacket(installed))
        return installed;
    return programFolder;
}

fs::path programPath() {
    std::error_code code;
    fs::path program = fs::read_symlink("/proc/self/exe", code);
    return code ? fs::path() : program;
}

bool resolveDataFolder(const std::string& asked, fs::path& folder, std::string& error) {
    std::error_code code;
    if (!asked.empty()) {
        if (!fs::is_directory(asked, code)) {
            error = "data folder '" + asked + "' does not exist";
            return false;
        }
        folder = fs::absolute(asked, code).lexically_normal();
        return true;
    }
    folder = findDataFolder(programPath());
    if (folder.empty()) {
        error = "cannot tell which folder the program runs from; name its data folder with --data";
        return false;
    }
    return true;
}

} // namespace halcyra
