// halcyra: the setup dialog, the loading screen and the seven scenes, then exit.

#include "app/CommandLine.h"
#include "app/Display.h"
#include "core/DisplayConfig.h"
#include "core/Message.h"
#include "render/Engine.h"
#include "timeline/Demo.h"
#include "timeline/Playback.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The folder with data.qz: the one asked for, else the working directory if it holds data.qz, else the
// program's own folder.
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
    if (fs::exists("data.qz", code))
        return true;
    const fs::path program = fs::read_symlink("/proc/self/exe", code);
    if (!code && !program.parent_path().empty())
        fs::current_path(program.parent_path(), code);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace halcyra;

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
    if (!enterDataFolder(options.dataDir, error)) {
        std::fprintf(stderr, "halcyra: %s\n", error.c_str());
        return 2;
    }

    DisplayConfig& config = DisplayConfig::instance();
    const char* videoError = nullptr;
    if (!initVideo(&videoError))
        fatalError(std::string("The video system could not start: ") +
                   (videoError ? videoError : "unknown error"));

    const bool headless = isHeadless();
    setInteractive(!headless && !options.noDialog);
    DisplayRequest request;
    request.showDialog = !headless && !options.noDialog;
    request.mode = options.mode;
    request.fullscreen = options.fullscreen;
    request.vsync = options.vsync;
    config.display = options.display;
    initDisplay(config, request);

    FrameStatistics statistics;
    std::optional<ShowTimeLimit> limit;
    FrameObservers observers;
    if (options.durationSeconds) {
        limit.emplace(*options.durationSeconds * 1000.0);
        observers.add(&*limit);
    }
    if (options.stats)
        observers.add(&statistics);

    {
        Demo demo;
        PerformanceClock clock;
        PlayOptions play;
        play.clock = &clock;
        play.observer = &observers;
        play.startTime = static_cast<float>(options.startSeconds * 1000.0);
        demo.play(play);
    }
    Engine::destroy();
    if (options.stats)
        std::fputs(statistics.report().c_str(), stdout);
    shutdownDisplay();
    return 0;
}
