// halcyra: the setup dialog, the loading screen and the seven scenes, then exit. Offline runs render the
// same show on a fixed step into PNG frames, a video or a contact sheet, in this process or spread over
// several. main reads the command line and hands over: what a run does is ShowRun's and RenderJobs'.

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/Platform.h"
#include "app/RenderJobs.h"
#include "app/ShowRun.h"
#include "app/Startup.h"
#include "core/Platform.h"
#include "timeline/Demo.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    using namespace halcyra;
    namespace fs = std::filesystem;
    tuneMemoryAllocator();
    installPlatform();

    Options options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "halcyra: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("halcyra %s\n", HALCYRA_VERSION);
        return 0;
    }
    if (options.layout) {
        std::fputs(Demo::layoutJson().c_str(), stdout);
        return 0;
    }
    // Paths are where the program was started, not the data folder.
    for (std::string* path : {&options.captureDir, &options.videoFile, &options.contactSheet,
                              &options.joinDir, &options.shadersDir, &options.statsJson}) {
        std::error_code code;
        if (!path->empty())
            *path = fs::absolute(*path, code).string();
    }
    if (!options.shadersDir.empty() && !fs::is_directory(options.shadersDir)) {
        std::fprintf(stderr, "halcyra: option '--shaders' needs a folder of GLSL sources; %s is none\n",
                     options.shadersDir.c_str());
        return 2;
    }
    fs::path dataFolder;
    if (!resolveDataFolder(options.dataDir, dataFolder, error)) {
        std::fprintf(stderr, "halcyra: %s\n", error.c_str());
        return 2;
    }
    setDataFolder(dataFolder.string());

    if (options.plan || options.jobs > 1 || !options.joinDir.empty()) {
        std::error_code code;
        const fs::path program = fs::read_symlink("/proc/self/exe", code);
        return spreadRender(options, code ? std::string(argv[0]) : program.string(), dataFolder.string());
    }
    // Real-time play draws where a viewer sees it: without a display it would play to nobody. Offline
    // rendering, and play asked to run headless, draw off screen.
    const bool offline =
        !options.captureDir.empty() || !options.videoFile.empty() || !options.contactSheet.empty();
    if (options.headless)
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (!offline && !displayNamed()) {
        std::fprintf(stderr,
                     "halcyra: no display: set DISPLAY or WAYLAND_DISPLAY, use --headless for a timing "
                     "run, or --capture/--video to render without one\n");
        return 1;
    }
    return runShow(options, performanceCounter());
}
