// The main of the benchmarks that need the show's GL context: headless (SDL's offscreen driver, Mesa's
// software renderer where there is no GPU) at the 4:3 mode, with the data packet's programs and pictures
// registered, as loading leaves them before the Engine is made. Header only; each benchmark program's
// main calls it.
#pragma once

#include "app/Platform.h"
#include "app/Startup.h"
#include "assets/DataPacket.h"
#include "core/DisplayConfig.h"
#include "render/Engine.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace halcyra {

inline int runGlBenchmarks(int argc, char** argv, const std::string& dataDir) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    installPlatform();
    const char* error = nullptr;
    if (!initVideo(&error)) {
        std::fprintf(stderr, "no video: %s\n", error != nullptr ? error : "unknown");
        return 1;
    }
    configurePlatform({});
    DisplayRequest request;
    request.showDialog = false;
    request.fullscreen = false;
    request.vsync = false;
    initDisplay(DisplayConfig::instance(), request);
    { DataPacket packet((dataDir + "/data.qz").c_str()); }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Engine::destroy();
    shutdownDisplay();
    return 0;
}

} // namespace halcyra
