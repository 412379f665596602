#include "app/FrameCapture.h"
#include "app/Platform.h"
#include "assets/ShaderManager.h"
#include "assets/TextureManager.h"
#include "render/Engine.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"
#include "timeline/MusicStream.h"

#include "support/Sanitizer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef HALCYRA_ADDRESS_SANITIZER
// The sanitizer build's defaults for every test program, however it is started: the suppressions for
// third-party libraries, without the list of those used at exit (a death test reads the child's whole
// stderr, and every GL start-up looks its font up through fontconfig), and stacks with every report.
extern "C" const char* __lsan_default_options() {
    return "suppressions=" HALCYRA_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1";
}

// Libraries stay loaded until the end of the process. Mesa unloads its driver when the last display
// closes, and the driver's globals go with it: everything they held would read as lost, and stacks that
// pass through it could not be named, neither in a report nor in a suppression.
extern "C" int dlclose(void*) {
    return 0;
}
#endif

namespace {

// A test leaves every singleton and the working directory as it found them, so that a test program passes
// whole and in any order. This listener fails a test that does not, names what it left, and clears it, so
// that the tests after it start clean.
class LeftoverCheck final : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override { folder = std::filesystem::current_path(); }

    void OnTestEnd(const testing::TestInfo&) override {
        using namespace halcyra;
        // FrameCapture before the Engine, the Engine before the registries it tears down.
        check<FrameCapture>("FrameCapture");
        check<Engine>("the Engine");
        check<TextureManager>("the TextureManager");
        check<ShaderManager>("the ShaderManager");
        check<ModelLibrary>("the ModelLibrary");
        check<LightLibrary>("the LightLibrary");
        check<Camera>("the Camera");
        check<MusicStream>("the MusicStream");
        if (std::filesystem::current_path() != folder) {
            ADD_FAILURE() << "the test left the working directory at " << std::filesystem::current_path()
                          << "; test::WorkingDirectory returns to the folder before";
            std::filesystem::current_path(folder);
        }
    }

private:
    template <typename T>
    static void check(const char* name) {
        if (!T::exists())
            return;
        ADD_FAILURE() << "the test left " << name << " alive: destroy it before the test ends";
        T::destroy();
    }

    std::filesystem::path folder;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Headless unless told otherwise, however the test program is started (ctest, by hand, a debugger):
    // SDL's offscreen video with Mesa's software GL, and the dummy sound driver, which plays in real time.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // GL drivers start threads; death tests must re-execute the test binary rather than fork it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    halcyra::installPlatform();
    // Ahead of the printer, so that a test failed for what it left reads as failed.
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    testing::TestEventListener* printer = listeners.Release(listeners.default_result_printer());
    listeners.Append(new LeftoverCheck);
    if (printer != nullptr)
        listeners.Append(printer);
    return RUN_ALL_TESTS();
}
