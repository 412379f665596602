#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Headless unless told otherwise, however the test program is started (ctest, by hand, a debugger):
    // SDL's offscreen video with Mesa's software GL, and the dummy sound driver, which plays in real time.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // GL drivers start threads; death tests must re-execute the test binary rather than fork it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
