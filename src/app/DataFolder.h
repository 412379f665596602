// DataFolder: where the show's data (data.qz, textures/, models/, muzak.mp3) is found, so that the program
// plays from any working directory: from its build folder, installed (bin/halcyra or games/halcyra with the
// data under share/halcyra), or from a folder named on the command line. main hands it to the platform
// (setDataFolder) before loading; the loaders open the names the lists hold against it, and the working
// directory stays.
#pragma once

#include <filesystem>
#include <string>

namespace halcyra {

// The installed data folder relative to the program's folder ("../share/halcyra").
extern const char* const installedDataFolder;

// The folder to load from when none is asked for: the program's own folder when it holds data.qz (a build
// folder), else the installed data folder beside it when that does, else the program's folder, where
// loading then reports what is missing. Never the working directory: a data.qz that happens to lie there
// is no reason to play it. `program` is the executable's full path; empty when unknown, and then so is
// the folder.
std::filesystem::path findDataFolder(const std::filesystem::path& program);

// The running executable's full path, links resolved; empty when the system does not tell.
std::filesystem::path programPath();

// The folder `asked` (when not empty) or the one findDataFolder picks, as an absolute path. False, with
// `error` set, when the folder asked for does not exist or, asked for none, the program cannot tell where
// it is.
bool resolveDataFolder(const std::string& asked, std::filesystem::path& folder, std::string& error);

} // namespace halcyra
