// Runs a built program as a user would and collects what it says: exit status, stdout and stderr.
#pragma once

#include <string>
#include <vector>

namespace halcyra::test {

struct ProgramResult {
    int exitStatus = -1;   // the status passed to exit, or -1 when killed
    int signal = 0;        // the signal that ended it, or 0
    bool timedOut = false; // killed after the time limit
    std::string out;
    std::string err;
};

// Runs `program` with `arguments` in `workingDirectory` (empty: the current one) with the environment
// plus `environment` ("NAME=value" each); kills it after `timeoutSeconds`.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory = {},
                         const std::vector<std::string>& environment = {}, double timeoutSeconds = 120.0);

// SDL's offscreen video and dummy audio drivers: the program runs with no display and no sound card.
inline const std::vector<std::string> headless = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};

// The built halcyra program.
const char* halcyraBinary();

} // namespace halcyra::test
