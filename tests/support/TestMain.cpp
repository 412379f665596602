#include "app/Platform.h"

#include <gtest/gtest.h>

#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define HALCYRA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HALCYRA_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef HALCYRA_ADDRESS_SANITIZER
// The sanitizer build's defaults for every test program, however it is started: the suppressions for
// third-party libraries, and stacks with every report.
extern "C" const char* __lsan_default_options() {
    return "suppressions=" HALCYRA_LSAN_SUPPRESSIONS;
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

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Headless unless told otherwise, however the test program is started (ctest, by hand, a debugger):
    // SDL's offscreen video with Mesa's software GL, and the dummy sound driver, which plays in real time.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // GL drivers start threads; death tests must re-execute the test binary rather than fork it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    halcyra::installPlatform();
    return RUN_ALL_TESTS();
}
