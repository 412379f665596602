// The show's look held to the floors every scene must reach, so that a change of a program, a picture or a
// camera path cannot sink a scene back into the dark unnoticed: one frame per second of the whole show at
// a small size, the brightness of each frame, and per scene the median frame of its own stretch (fades,
// the title card and the planet's ending left out), as scripts/look prints them.
#include "support/Frames.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace halcyra {
namespace {

namespace fs = std::filesystem;

struct Stretch {
    const char* scene;
    int from; // seconds of show, both ends included
    int to;
};

const Stretch stretches[] = {{"opening", 1, 14},  {"credits", 23, 64},     {"metaballs", 66, 93},
                             {"water", 95, 122},  {"cube rain", 124, 151}, {"greetings", 153, 180},
                             {"planet", 182, 213}};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

TEST(Look, EverySceneIsBrightWithRealHighlightsAndDeepBlacks) {
    test::TempDir dir;
    const fs::path frames = dir.path() / "frames";
    const auto result = test::runProgram(test::halcyraBinary(),
                                         {"--capture", frames.string(), "--fps", "1", "--size", "160x120"},
                                         HALCYRA_DATA_DIR, test::headless, 600.0);
    ASSERT_EQ(result.exitStatus, 0) << result.err;

    std::vector<test::Brightness> seconds;
    for (int n = 0;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.png", n);
        const test::Frame frame = test::readFrame(frames / name);
        if (frame.rgb.empty())
            break;
        seconds.push_back(test::brightness(frame));
    }
    ASSERT_EQ(seconds.size(), 233u) << "one frame per second of the show";

    for (const Stretch& stretch : stretches) {
        std::vector<double> mean, low, high;
        for (int t = stretch.from; t <= stretch.to; ++t) {
            mean.push_back(seconds[static_cast<size_t>(t)].mean);
            low.push_back(seconds[static_cast<size_t>(t)].low);
            high.push_back(seconds[static_cast<size_t>(t)].high);
        }
        const double m = median(mean), l = median(low), h = median(high);
        EXPECT_GE(h, 100.0) << stretch.scene << ": no highlights";
        EXPECT_GE(m, 40.0) << stretch.scene << ": too dark";
        EXPECT_LE(m, 130.0) << stretch.scene << ": washed out";
        EXPECT_GE(h - l, 60.0) << stretch.scene << ": flat";
    }

    // Until the end screen turns white, no frame is blown out; none is black outside the title's fade-in
    // (14.4 to about 16 s) and the show's last white seconds.
    for (int t = 0; t < 225; ++t) {
        const test::Brightness& b = seconds[static_cast<size_t>(t)];
        EXPECT_FALSE(b.low >= 200 && b.high >= 230) << "blown out at " << t << " s";
        if (t < 14 || t > 16) {
            EXPECT_GT(b.high, 17) << "black at " << t << " s";
        }
    }
}

// The darkest row (or column) near the picture's edges against the rows three pixels to either side, as a
// share of their mean luma: about 1 where the picture only fades, a third over a drawn line.
double darkestEdgeLine(const test::Frame& frame) {
    std::vector<double> rows(static_cast<size_t>(frame.height)), columns(static_cast<size_t>(frame.width));
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const uint8_t* p = &frame.rgb[(static_cast<size_t>(y) * frame.width + x) * 3];
            const double luma = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
            rows[static_cast<size_t>(y)] += luma / frame.width;
            columns[static_cast<size_t>(x)] += luma / frame.height;
        }
    }
    double darkest = 1.0;
    for (const std::vector<double>* profile : {&rows, &columns}) {
        const int n = static_cast<int>(profile->size());
        const int band = n * 12 / 100;
        for (int i = 3; i < n - 3; ++i) {
            if (i >= band && i < n - band)
                continue;
            const double around = ((*profile)[i - 3] + (*profile)[i + 3]) / 2.0;
            if (around > 4.0)
                darkest = std::min(darkest, (*profile)[i] / around);
        }
    }
    return darkest;
}

TEST(Look, PlanetAndEndScreenShowNoLineNearThePictureEdge) {
    // The planet's mask once drew a thin frame a little inside the picture's edge, which showed through
    // the stars as a dark rectangle and across the white end screen.
    test::TempDir dir;
    const fs::path frames = dir.path() / "frames";
    const auto result = test::runProgram(
        test::halcyraBinary(),
        {"--capture", frames.string(), "--fps", "1", "--size", "1280x720", "--frames", "182,200,221,228"},
        HALCYRA_DATA_DIR, test::headless, 300.0);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    for (const int second : {182, 200, 221, 228}) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.png", second);
        const test::Frame frame = test::readFrame(frames / name);
        ASSERT_EQ(frame.rgb.size(), 1280u * 720u * 3u) << second << " s";
        const double darkest = darkestEdgeLine(frame);
        EXPECT_GT(darkest, 0.7) << "a dark line near the edge at " << second << " s: " << darkest
                                << " of the luma beside it";
    }
}

} // namespace
} // namespace halcyra
