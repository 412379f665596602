#include "app/RenderJobs.h"

#include "app/OfflineCapture.h"
#include "app/Processes.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "timeline/Demo.h"
#include "timeline/Playback.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

namespace halcyra {
namespace {

namespace fs = std::filesystem;

// One process of the render and what it has said so far.
// The descriptor a job writes its finished frames to, one line each ("frame N"): the channel the jobs are
// counted by. Their standard error carries only messages for people.
constexpr int jobProgressDescriptor = 3;

// One stream a job writes, read in whole lines.
struct JobStream {
    int pipe = -1;
    std::string partial; // text after the last line break
};

struct Job {
    FrameRange range;
    pid_t process = -1;
    JobStream messages; // its standard error
    JobStream progress; // its frames
    int64_t framesDone = 0;
    int status = 0;
    bool ended = false;
};

// Reads what has arrived on `stream` and hands every whole line to `line`; at the end of the stream the
// rest counts as a line and the pipe is closed.
void readLines(JobStream& stream, const std::function<void(const std::string&)>& line) {
    char buffer[4096];
    const ssize_t n = read(stream.pipe, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
        return;
    if (n > 0) {
        stream.partial.append(buffer, static_cast<size_t>(n));
    } else {
        close(stream.pipe);
        stream.pipe = -1;
        stream.partial += '\n';
    }
    size_t start = 0;
    for (size_t end = stream.partial.find('\n'); end != std::string::npos;
         end = stream.partial.find('\n', start)) {
        line(stream.partial.substr(start, end - start));
        start = end + 1;
    }
    stream.partial.erase(0, start);
}

void readJob(Job& job, const pollfd* ready) {
    auto readyToRead = [&](const JobStream& stream) {
        return stream.pipe >= 0 && ready != nullptr && ready->fd == stream.pipe &&
               (ready->revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    };
    if (readyToRead(job.progress))
        readLines(job.progress, [&](const std::string& line) {
            if (line.rfind("frame ", 0) == 0)
                ++job.framesDone;
        });
    if (readyToRead(job.messages))
        readLines(job.messages, [&](const std::string& line) {
            if (!line.empty())
                std::fprintf(stderr, "\rframes %s: %-50s\n", rangeText(job.range).c_str(), line.c_str());
        });
}

} // namespace

std::vector<FrameRange> splitFrames(FrameRange range, int parts) {
    std::vector<FrameRange> ranges;
    const int64_t count = std::max<int64_t>(0, range.count());
    const int64_t n = std::clamp<int64_t>(parts, 1, std::max<int64_t>(1, count));
    int64_t first = range.first;
    for (int64_t i = 0; i < n && first < range.end; ++i) {
        const int64_t size = count / n + (i < count % n ? 1 : 0);
        ranges.push_back({first, first + size});
        first += size;
    }
    return ranges;
}

std::string rangeText(FrameRange range) {
    return std::to_string(range.first) + "-" + std::to_string(range.end - 1);
}

std::string segmentFolder(const std::string& video) {
    return video + ".parts";
}

std::vector<std::string> jobArguments(const Options& options, const std::string& dataFolder, FrameRange range,
                                      const std::string& segments) {
    // What the parent decides for its jobs: the split, the stretch, where the frames go and what is said.
    static const char* const decided[] = {"jobs",  "plan", "start",       "duration", "frames",  "capture",
                                          "video", "data", "progress-fd", "quiet",    "no-audio"};
    std::vector<std::string> args;
    for (const auto& [name, value] : options.given) {
        if (std::find(std::begin(decided), std::end(decided), name) != std::end(decided))
            continue;
        args.push_back("--" + name);
        if (!optionTakesValue(name))
            continue;
        // A folder named relative to where this process was started means the same to its jobs, wherever
        // they run from.
        std::error_code ignored;
        args.push_back(name == "shaders" ? fs::absolute(value, ignored).string() : value);
    }
    args.insert(args.end(), {"--data", dataFolder, "--frames", rangeText(range), "--quiet", "--progress-fd",
                             std::to_string(jobProgressDescriptor)});
    if (!options.captureDir.empty())
        args.insert(args.end(), {"--capture", options.captureDir});
    else
        args.insert(args.end(),
                    {"--video", (fs::path(segments) / (rangeText(range) + ".mp4")).string(), "--no-audio"});
    return args;
}

int runRenderJobs(const Options& options, const std::string& program, const std::string& dataFolder) {
    const int fps = options.framesPerSecond.value_or(60);
    const FrameRange range = frameRange(options, fps);
    const bool video = !options.videoFile.empty();
    const std::string segments = video ? segmentFolder(options.videoFile) : std::string();
    if (video) {
        if (!programInstalled("ffmpeg")) {
            showMessage(
                "Writing a video needs the ffmpeg program, which is not installed (apt-get install ffmpeg).");
            return 255;
        }
        std::error_code code;
        fs::remove_all(segments, code);
        fs::create_directories(segments, code);
        if (code) {
            showMessage("The folder " + segments +
                        " for the video's segments cannot be made: " + code.message());
            return 255;
        }
    }
    signal(SIGPIPE, SIG_IGN);

    std::vector<Job> jobs;
    for (const FrameRange& part : splitFrames(range, options.jobs)) {
        Job job;
        job.range = part;
        int messages[2];
        int progress[2];
        std::string error;
        if (::pipe(messages) != 0) {
            error = std::string("a pipe cannot be made: ") + std::strerror(errno);
        } else if (::pipe(progress) != 0) {
            error = std::string("a pipe cannot be made: ") + std::strerror(errno);
            close(messages[0]);
            close(messages[1]);
        } else {
            for (const int end : {messages[0], progress[0]})
                fcntl(end, F_SETFD, FD_CLOEXEC);
            ChildDescriptors descriptors;
            descriptors.mapped = {{messages[1], STDERR_FILENO}, {progress[1], jobProgressDescriptor}};
            job.process =
                startProcess(program, jobArguments(options, dataFolder, part, segments), descriptors, error);
            close(messages[1]);
            close(progress[1]);
            job.messages.pipe = messages[0];
            job.progress.pipe = progress[0];
        }
        if (job.process < 0) {
            showMessage("The render job for frames " + rangeText(part) + " cannot start: " + error);
            for (Job& started : jobs)
                kill(started.process, SIGTERM);
            for (Job& started : jobs)
                waitpid(started.process, nullptr, 0);
            return 255;
        }
        jobs.push_back(std::move(job));
    }

    const uint64_t startTicks = performanceCounter();
    const Job* failed = nullptr;
    for (size_t running = jobs.size(); running > 0;) {
        std::vector<pollfd> watched;
        for (const Job& job : jobs)
            for (const JobStream* stream : {&job.messages, &job.progress})
                if (stream->pipe >= 0)
                    watched.push_back({stream->pipe, POLLIN, 0});
        // A failed poll (an interrupt) reads nothing this round; the jobs are looked at again.
        if (!watched.empty() && poll(watched.data(), watched.size(), 500) < 0)
            for (pollfd& p : watched)
                p.revents = 0;
        for (Job& job : jobs) {
            for (const pollfd& ready : watched)
                readJob(job, &ready);
            if (job.messages.pipe < 0 && job.progress.pipe < 0 && !job.ended) {
                waitpid(job.process, &job.status, 0);
                job.ended = true;
                --running;
                if ((!WIFEXITED(job.status) || WEXITSTATUS(job.status) != 0) && failed == nullptr)
                    failed = &job;
            }
        }
        if (failed != nullptr)
            break;
        int64_t done = 0;
        for (const Job& job : jobs)
            done += job.framesDone;
        const double elapsed =
            static_cast<double>(performanceCounter() - startTicks) / performanceFrequency();
        const double rate = elapsed > 0.0 ? static_cast<double>(done) / elapsed : 0.0;
        const double left = rate > 0.0 ? static_cast<double>(range.count() - done) / rate : 0.0;
        if (!options.quiet) {
            std::fprintf(stderr, "\rframe %lld/%lld in %zu jobs, %.1f fps, %.0f s left   ",
                         static_cast<long long>(done), static_cast<long long>(range.count()), jobs.size(),
                         rate, left);
            std::fflush(stderr);
        }
    }

    if (failed != nullptr) {
        for (Job& job : jobs)
            if (!job.ended)
                kill(job.process, SIGTERM);
        for (Job& job : jobs) {
            for (const JobStream* stream : {&job.messages, &job.progress})
                if (stream->pipe >= 0)
                    close(stream->pipe);
            if (!job.ended)
                waitpid(job.process, nullptr, 0);
        }
        if (video) {
            std::error_code ignored;
            fs::remove_all(segments, ignored);
        }
        std::fputs("\n", stderr);
        showMessage("The render job for frames " + rangeText(failed->range) + " failed with " +
                    exitText(failed->status) + "; the other jobs were stopped.");
        return 255;
    }
    const double elapsed = static_cast<double>(performanceCounter() - startTicks) / performanceFrequency();
    if (!options.quiet)
        std::fprintf(stderr, "\r%lld frames in %.1f s (%.1f fps) in %zu jobs%30s\n",
                     static_cast<long long>(range.count()), elapsed,
                     elapsed > 0 ? static_cast<double>(range.count()) / elapsed : 0.0, jobs.size(), "");

    if (video) {
        std::string soundtrack;
        if (!options.noAudio) {
            soundtrack = (fs::path(dataFolder) / "muzak.mp3").string();
            if (!fs::exists(soundtrack)) {
                showMessage("sound file not found");
                soundtrack.clear();
            }
        }
        std::string error;
        if (!joinVideo(options.videoFile, segments, range, fps, soundtrack, error)) {
            showMessage(error + " The segments stay in " + segments + ".");
            return 255;
        }
        std::error_code ignored;
        fs::remove_all(segments, ignored);
    }
    return 0;
}

int spreadRender(const Options& options, const std::string& program, const std::string& dataFolder) {
    const int fps = options.framesPerSecond.value_or(60);
    const FrameRange range = frameRange(options, fps);
    if (options.plan) {
        for (const FrameRange& part : splitFrames(range, options.jobs))
            std::printf("%s\n", rangeText(part).c_str());
        return 0;
    }
    if (options.joinDir.empty())
        return runRenderJobs(options, program, dataFolder);
    const std::string soundtrack = (fs::path(dataFolder) / "muzak.mp3").string();
    const bool withSound = !options.noAudio && fs::exists(soundtrack);
    if (!options.noAudio && !withSound)
        showMessage("sound file not found");
    std::string error;
    if (!joinVideo(options.videoFile, options.joinDir, range, fps, withSound ? soundtrack : "", error)) {
        showMessage(error);
        return 255;
    }
    return 0;
}

} // namespace halcyra
