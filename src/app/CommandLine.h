// The command line: display mode and switches for runs without the dialog, the data folder, the stretch
// of the show to play, and statistics. Parsing is pure; main prints the errors and usage.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace halcyra {

struct Options {
    std::optional<int> mode; // a mode button of the setup dialog
    std::optional<bool> fullscreen;
    std::optional<bool> vsync;
    bool noDialog = false;
    int display = 0;
    std::string dataDir; // empty: findDataFolder picks it
    double startSeconds = 0.0;
    std::optional<double> durationSeconds;
    bool stats = false;
    bool headless = false; // real-time play with no display (SDL's offscreen driver): a timing run
    std::string statsJson; // --stats-json FILE: what --stats prints, as one JSON document for programs
    bool layout = false;   // --layout: print the show's layout as JSON and stop
    // Offline rendering on a fixed step: numbered PNGs, a video through ffmpeg, or a contact sheet.
    std::string captureDir;
    std::string videoFile;
    std::string contactSheet;
    std::optional<int> framesPerSecond;
    // --frames FIRST-LAST[,…]: the frames to render, numbered from the show's start at --fps; stretches
    // (FIRST-LAST or one number, both ends included) in rising order, apart.
    std::vector<std::pair<int64_t, int64_t>> frames;
    std::optional<int> width; // --size, in real-time play and offline
    std::optional<int> height;
    bool desktopSize = false; // --size desktop: the desktop's own resolution
    bool draft = false;       // targets of the picture's own size: fast small pictures, a rough look
    // --quality adaptive: real-time play draws a smaller picture while frames run over their budget;
    // full: the picture at its own size always. Unset: adaptive on a software renderer, else full.
    std::optional<bool> adaptive;
    bool gentle = false;         // the flicker turned down and the white screen faded in
    std::optional<int> gpuClass; // the render-target formats of vendor class 1 or 2, whatever the driver
    bool noAudio = false;        // a video without the soundtrack
    bool quiet = false;          // no progress line
    // Spreading the render over processes: --jobs N runs N here; --plan prints the N ranges instead;
    // --join DIR joins a video's segments rendered elsewhere.
    int jobs = 0;
    bool plan = false;
    std::string joinDir;
    // A render job writes "frame N" to this descriptor for every finished frame; -1 for none.
    int progressFd = -1;
    // For the people who make the show: the studio's keys and overlay, GLSL read from a folder (and, in the
    // studio, rebuilt when a file changes), a stretch played again and again (seconds).
    bool studio = false;
    std::string shadersDir;
    std::optional<std::pair<double, double>> loop;
    bool help = false;
    bool version = false;
    // Every option as it was given, in order (name without dashes, value or ""): what a render job is
    // handed on, so that it does what this process would.
    std::vector<std::pair<std::string, std::string>> given;
};

// Fills `options` from argv. Returns false with a one-line reason in `error` for an unknown option, a
// missing or malformed value.
bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error);

const char* usageText();

// Whether the option `name` (without dashes) takes a value.
bool optionTakesValue(const std::string& name);

// Most processes --jobs starts.
constexpr int maxJobs = 64;

// Largest picture --size accepts.
constexpr int maxPictureWidth = 3840;
constexpr int maxPictureHeight = 2160;

} // namespace halcyra
