// Joining the segments render jobs wrote into one video with the soundtrack, through ffmpeg's concat
// demuxer: the segments are copied, not encoded again.
#include "app/Processes.h"
#include "app/RenderJobs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace halcyra {

namespace fs = std::filesystem;

bool joinVideo(const std::string& video, const std::string& segments, FrameRange range, int fps,
               const std::string& soundtrack, std::string& error) {
    // The segments by their first frame; each must begin where the one before it ended.
    std::map<int64_t, std::pair<int64_t, fs::path>> found;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(segments, code)) {
        long long first = 0;
        long long last = 0;
        char tail[8] = {};
        const std::string name = entry.path().filename().string();
        if (std::sscanf(name.c_str(), "%lld-%lld.%7s", &first, &last, tail) == 3 &&
            std::string(tail) == "mp4" &&
            name == std::to_string(first) + "-" + std::to_string(last) + ".mp4" && last >= first)
            found[first] = {last + 1, fs::absolute(entry.path())};
    }
    if (code) {
        error = "The segments in " + segments + " cannot be read: " + code.message() + ".";
        return false;
    }
    std::vector<fs::path> order;
    int64_t next = range.first;
    while (next < range.end) {
        const auto segment = found.find(next);
        if (segment == found.end()) {
            error = "The segments in " + segments + " do not cover frames " + rangeText(range) +
                    ": none begins at frame " + std::to_string(next) + ".";
            return false;
        }
        order.push_back(segment->second.second);
        next = segment->second.first;
    }
    if (next != range.end || order.empty()) {
        error = "The segments in " + segments + " do not end at frame " + std::to_string(range.end - 1) + ".";
        return false;
    }

    const fs::path list = fs::path(segments) / "segments.txt";
    {
        std::ofstream out(list);
        for (const fs::path& path : order) {
            std::string quoted;
            for (const char c : path.string())
                quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
            out << "file '" << quoted << "'\n";
        }
        if (!out) {
            error = "The list of segments " + list.string() + " cannot be written.";
            return false;
        }
    }
    char start[32];
    std::snprintf(start, sizeof start, "%.3f", static_cast<double>(range.first) / fps);
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-y", "-f",
                                     "concat",       "-safe",     "0",     "-i", list.string()};
    if (!soundtrack.empty())
        args.insert(args.end(), {"-ss", start, "-i", soundtrack, "-map", "0:v", "-map", "1:a", "-c:a", "aac",
                                 "-shortest"});
    args.insert(args.end(), {"-c:v", "copy", "-movflags", "+faststart", video});

    const ErrorLog log;
    if (log.descriptor() < 0) {
        error = std::string("ffmpeg cannot be started: ") + std::strerror(errno);
        return false;
    }
    ChildDescriptors descriptors;
    descriptors.mapped = {{log.descriptor(), STDERR_FILENO}};
    const pid_t process = startProcess("ffmpeg", args, descriptors, error);
    int status = 0;
    if (process > 0)
        waitpid(process, &status, 0);
    if (process <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        if (process > 0)
            error = "Joining the segments failed: ffmpeg ended with " + exitText(status) + ": " +
                    lastLine(log.text()) + ".";
        fs::remove(video, code);
        return false;
    }
    return true;
}

} // namespace halcyra
