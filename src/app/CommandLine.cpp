#include "app/CommandLine.h"

#include "app/SetupDialog.h"
#include "core/CommandOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace halcyra {
namespace {

bool parseNumber(const std::string& text, double& value) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

bool parseCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return true;
}

// A frame number: up to nine digits, more than the show has frames at any frame rate.
bool parseFrame(const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoll(text.c_str());
    return true;
}

// Stretches "FIRST-LAST" and single frames joined by commas, each after the one before it.
bool parseFrameList(const std::string& text, std::vector<std::pair<int64_t, int64_t>>& frames) {
    frames.clear();
    size_t begin = 0;
    while (begin <= text.size()) {
        const size_t comma = std::min(text.find(',', begin), text.size());
        const std::string item = text.substr(begin, comma - begin);
        const size_t dash = item.find('-');
        int64_t first = 0;
        int64_t last = 0;
        if (dash == std::string::npos
                ? !parseFrame(item, first)
                : !parseFrame(item.substr(0, dash), first) || !parseFrame(item.substr(dash + 1), last))
            return false;
        if (dash == std::string::npos)
            last = first;
        if (last < first || (!frames.empty() && first <= frames.back().second) || frames.size() >= 10000)
            return false;
        frames.emplace_back(first, last);
        begin = comma + 1;
    }
    return true;
}

const std::vector<OptionSpec>& optionSpecs() {
    static const std::vector<OptionSpec> specs = {
        {"mode", true},          {"fullscreen", false}, {"windowed", false},   {"vsync", false},
        {"no-vsync", false},     {"no-dialog", false},  {"display", true},     {"data", true},
        {"start", true},         {"duration", true},    {"capture", true},     {"video", true},
        {"contact-sheet", true}, {"fps", true},         {"frames", true},      {"size", true},
        {"jobs", true},          {"join", true},        {"progress-fd", true}, {"plan", false},
        {"no-audio", false},     {"quiet", false},      {"studio", false},     {"shaders", true},
        {"loop", true},          {"stats", false},      {"help", false},       {"version", false},
        {"draft", false},        {"gpu-class", true},   {"quality", true},     {"headless", false},
        {"stats-json", true},    {"layout", false},     {"gentle", false}};
    return specs;
}

} // namespace

bool optionTakesValue(const std::string& name) {
    for (const OptionSpec& spec : optionSpecs())
        if (name == spec.name)
            return spec.takesValue;
    return false;
}

bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error) {
    const std::vector<OptionSpec>& specs = optionSpecs();
    const auto apply = [&](const std::string& name, const std::string& value) -> bool {
        options.given.emplace_back(name, value);
        const std::string arg = "--" + name;
        if (arg == "--mode") {
            const int control = modeButtonForCaption(value.c_str());
            if (control == 0) {
                error = "unknown mode '" + value + "' (use 4:3, 16:9, 16:9.5 or 16:10)";
                return false;
            }
            options.mode = control;
        } else if (arg == "--fullscreen" || arg == "--windowed") {
            options.fullscreen = arg == "--fullscreen";
        } else if (arg == "--vsync" || arg == "--no-vsync") {
            options.vsync = arg == "--vsync";
        } else if (arg == "--no-dialog") {
            options.noDialog = true;
        } else if (arg == "--display") {
            if (!parseCount(value, options.display)) {
                error = "option '--display' needs a monitor number, not '" + value + "'";
                return false;
            }
        } else if (arg == "--data") {
            if (value.empty()) {
                error = "option '--data' needs a folder";
                return false;
            }
            options.dataDir = value;
        } else if (arg == "--start" || arg == "--duration") {
            double seconds = 0.0;
            const bool start = arg == "--start";
            if (!parseNumber(value, seconds) || seconds < 0.0 || (!start && seconds == 0.0) ||
                seconds > 1.0e6) {
                error = "option '" + arg + "' needs " + (start ? "a time" : "a positive time") +
                        " in seconds, not '" + value + "'";
                return false;
            }
            if (start)
                options.startSeconds = seconds;
            else
                options.durationSeconds = seconds;
        } else if (arg == "--capture" || arg == "--video" || arg == "--contact-sheet") {
            if (value.empty()) {
                error = "option '" + arg + "' needs a " + (arg == "--capture" ? "folder" : "file");
                return false;
            }
            (arg == "--capture" ? options.captureDir
             : arg == "--video" ? options.videoFile
                                : options.contactSheet) = value;
        } else if (arg == "--fps") {
            int fps = 0;
            if (!parseCount(value, fps) || fps < 1 || fps > 240) {
                error = "option '--fps' needs a frame rate from 1 to 240, not '" + value + "'";
                return false;
            }
            options.framesPerSecond = fps;
        } else if (arg == "--frames") {
            if (!parseFrameList(value, options.frames)) {
                error = "option '--frames' needs FIRST-LAST frame numbers, FIRST not above LAST (or a list "
                        "of such stretches and single frames in rising order, apart), not '" +
                        value + "'";
                return false;
            }
        } else if (arg == "--size") {
            const size_t x = value.find('x');
            int w = 0;
            int h = 0;
            if (value == "desktop") {
                options.desktopSize = true;
            } else if (x == std::string::npos || !parseCount(value.substr(0, x), w) ||
                       !parseCount(value.substr(x + 1), h) || w < 16 || h < 16 || w > maxPictureWidth ||
                       h > maxPictureHeight) {
                error = "option '--size' needs WIDTHxHEIGHT from 16x16 to 3840x2160, or desktop, not '" +
                        value + "'";
                return false;
            } else {
                options.width = w;
                options.height = h;
            }
        } else if (arg == "--jobs") {
            if (!parseCount(value, options.jobs) || options.jobs < 1 || options.jobs > maxJobs) {
                error = "option '--jobs' needs a number of processes from 1 to " + std::to_string(maxJobs) +
                        ", not '" + value + "'";
                return false;
            }
        } else if (arg == "--progress-fd") {
            if (!parseCount(value, options.progressFd) || options.progressFd < 1 || options.progressFd == 2) {
                error = "option '--progress-fd' needs an open file descriptor other than 0 and 2, not '" +
                        value + "'";
                return false;
            }
        } else if (arg == "--join") {
            if (value.empty()) {
                error = "option '--join' needs the folder of the segments";
                return false;
            }
            options.joinDir = value;
        } else if (arg == "--plan" || arg == "--no-audio" || arg == "--quiet") {
            (arg == "--plan" ? options.plan : arg == "--no-audio" ? options.noAudio : options.quiet) = true;
        } else if (arg == "--studio") {
            options.studio = true;
        } else if (arg == "--draft") {
            options.draft = true;
        } else if (arg == "--quality") {
            if (value != "full" && value != "adaptive") {
                error = "option '--quality' needs full or adaptive, not '" + value + "'";
                return false;
            }
            options.adaptive = value == "adaptive";
        } else if (arg == "--gentle") {
            options.gentle = true;
        } else if (arg == "--gpu-class") {
            if (value != "1" && value != "2") {
                error = "option '--gpu-class' needs 1 or 2, not '" + value + "'";
                return false;
            }
            options.gpuClass = value[0] - '0';
        } else if (arg == "--shaders") {
            if (value.empty()) {
                error = "option '--shaders' needs a folder of GLSL sources";
                return false;
            }
            options.shadersDir = value;
        } else if (arg == "--loop") {
            const size_t dash = value.find('-', 1);
            double from = 0.0;
            double to = 0.0;
            if (dash == std::string::npos || !parseNumber(value.substr(0, dash), from) ||
                !parseNumber(value.substr(dash + 1), to) || from < 0.0 || to <= from || to > 1.0e6) {
                error = "option '--loop' needs A-B in seconds, A below B, not '" + value + "'";
                return false;
            }
            options.loop = std::pair(from, to);
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--stats-json") {
            if (value.empty()) {
                error = "option '--stats-json' needs a file";
                return false;
            }
            options.statsJson = value;
        } else if (arg == "--layout") {
            options.layout = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        }
        return true;
    };
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(const_cast<char*>(argv[i]));
    arguments.push_back(nullptr);
    if (!readOptions(argc, arguments.data(), specs, apply, nullptr, error))
        return false;
    const int outputs =
        !options.captureDir.empty() + !options.videoFile.empty() + !options.contactSheet.empty();
    if (outputs > 1) {
        error = "choose one of --capture, --video and --contact-sheet";
        return false;
    }
    if (outputs == 0 && (options.framesPerSecond || !options.frames.empty())) {
        error = std::string("option '") + (!options.frames.empty() ? "--frames" : "--fps") +
                "' needs --capture, --video or --contact-sheet";
        return false;
    }
    if (!options.frames.empty() && (options.startSeconds > 0.0 || options.durationSeconds)) {
        error = "option '--frames' replaces --start and --duration";
        return false;
    }
    if (options.frames.size() > 1 && (options.captureDir.empty() || options.jobs != 0)) {
        error = "option '--frames' takes several stretches only with --capture, without --jobs";
        return false;
    }
    if (options.studio && outputs > 0) {
        error = "option '--studio' is for play, not offline rendering";
        return false;
    }
    if (options.adaptive && outputs > 0) {
        error = "option '--quality' is for play; offline rendering always draws the full picture";
        return false;
    }
    if (options.loop && !options.studio) {
        error = "option '--loop' needs --studio";
        return false;
    }
    if (options.desktopSize && (options.jobs != 0 || !options.joinDir.empty())) {
        error = "a render spread over processes needs its size as --size WxH, not desktop";
        return false;
    }
    if (outputs == 0 && options.quiet) {
        error = "option '--quiet' needs --capture, --video or --contact-sheet";
        return false;
    }
    if (options.videoFile.empty() && (options.noAudio || !options.joinDir.empty())) {
        error = std::string("option '") + (options.noAudio ? "--no-audio" : "--join") + "' needs --video";
        return false;
    }
    if ((options.jobs != 0 || options.plan) && options.captureDir.empty() && options.videoFile.empty()) {
        error = std::string("option '") + (options.jobs != 0 ? "--jobs" : "--plan") +
                "' needs --capture or --video";
        return false;
    }
    if (options.plan && options.jobs == 0) {
        error = "option '--plan' needs --jobs";
        return false;
    }
    if (options.progressFd >= 0 && options.captureDir.empty() && options.videoFile.empty()) {
        error = "option '--progress-fd' needs --capture or --video";
        return false;
    }
    if (!options.joinDir.empty() && options.jobs != 0) {
        error = "option '--join' joins segments rendered elsewhere; it takes no --jobs";
        return false;
    }
    return true;
}

} // namespace halcyra
