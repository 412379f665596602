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

fs::path findDataFolder(const fs::path& workingDirectory, const fs::path& program) {
    if (holdsPacket(workingDirectory) || program.empty() || !program.has_parent_path())
        return workingDirectory;
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

bool enterDataFolder(const std::string& asked, std::string& error) {
    std::error_code code;
    if (!asked.empty()) {
        if (!fs::is_directory(asked, code)) {
            error = "data folder '" + asked + "' does not exist";
            return false;
        }
        fs::current_path(asked, code);
        if (code)
            error = "cannot enter data folder '" + asked + "': " + code.message();
        return !code;
    }
    fs::path working = fs::current_path(code);
    if (code)
        working = ".";
    const fs::path folder = findDataFolder(working, programPath());
    if (folder != working)
        fs::current_path(folder, code);
    return true;
}

} // namespace halcyra
