#include "app/OfflineCapture.h"

#include "ImageWriter.h"
#include "app/Display.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "timeline/Scene.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace halcyra {
namespace {

// Top row first, as image files store them.
std::vector<uint8_t> flipRows(const std::vector<uint8_t>& bottomUp, int width, int height) {
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(&topDown[static_cast<size_t>(y) * row],
                    &bottomUp[static_cast<size_t>(height - 1 - y) * row], row);
    return topDown;
}

bool findProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

std::string lastLine(const std::string& text) {
    std::string line;
    std::stringstream lines(text);
    for (std::string current; std::getline(lines, current);)
        if (!current.empty())
            line = current;
    return line;
}

} // namespace

std::vector<uint8_t> readFinishedFrame(int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    bindScreenForReading();
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                                                  DisplayConfig::instance().screenFramebuffer);
    return pixels;
}

// ---- PNG frames -------------------------------------------------------------------------------------------

PngSequence::PngSequence(std::string outputFolder, int frameWidth, int frameHeight, int64_t first)
    : folder(std::move(outputFolder)), width(frameWidth), height(frameHeight), firstNumber(first) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code || !std::filesystem::is_directory(folder))
        fatalError("The capture folder " + folder + " cannot be made: " + code.message());
}

std::string PngSequence::frameName(int64_t number) {
    char name[40];
    std::snprintf(name, sizeof name, "frame%05lld.png", static_cast<long long>(number));
    return name;
}

void PngSequence::framePresented(int, const Scene&) {
    const auto pixels = flipRows(readFinishedFrame(width, height), width, height);
    const std::string path = (std::filesystem::path(folder) / frameName(firstNumber + written)).string();
    if (!tools::writeFile(path, tools::encodePng(tools::makePng(width, height, 3, pixels))))
        fatalError("The frame " + path + " cannot be written.");
    ++written;
}

// ---- Video through ffmpeg ---------------------------------------------------------------------------------

std::vector<std::string> VideoPipe::arguments(const Settings& settings) {
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", settings.width, settings.height);
    char start[32];
    std::snprintf(start, sizeof start, "%.3f", settings.startSeconds);
    std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error",         "-y",
        "-f",           "rawvideo",  "-pixel_format", "rgb24",
        "-video_size",  size,        "-framerate",    std::to_string(settings.framesPerSecond),
        "-i",           "-"};
    if (!settings.soundtrack.empty())
        args.insert(args.end(), {"-ss", start, "-i", settings.soundtrack, "-map", "0:v", "-map", "1:a"});
    args.insert(args.end(), {"-vf", "vflip", "-c:v", "libx264", "-crf", "16", "-pix_fmt", "yuv420p"});
    if (!settings.soundtrack.empty())
        args.insert(args.end(), {"-c:a", "aac", "-shortest"});
    args.push_back(settings.output);
    return args;
}

VideoPipe::VideoPipe(Settings videoSettings) : settings(std::move(videoSettings)) {
    if (!findProgram("ffmpeg"))
        fatalError(
            "Writing a video needs the ffmpeg program, which is not installed (apt-get install ffmpeg).");
    signal(SIGPIPE, SIG_IGN);

    char logName[] = "/tmp/halcyra-ffmpeg-XXXXXX";
    const int logFile = mkstemp(logName);
    errorLog = logName;
    int fds[2];
    if (logFile < 0 || ::pipe(fds) != 0)
        fatalError("ffmpeg cannot be started: " + std::string(std::strerror(errno)));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, logFile, STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<std::string> args = arguments(settings);
    args.insert(args.begin(), "ffmpeg");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    close(logFile);
    if (spawned != 0) {
        close(fds[1]);
        std::remove(errorLog.c_str());
        fatalError("ffmpeg cannot be started: " + std::string(std::strerror(spawned)));
    }
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    pipe = fds[1];
    process = child;
}

VideoPipe::~VideoPipe() {
    if (pipe >= 0)
        close(pipe);
    if (process > 0) {
        kill(process, SIGKILL);
        waitpid(process, nullptr, 0);
    }
    if (!errorLog.empty())
        std::remove(errorLog.c_str());
}

void VideoPipe::framePresented(int, const Scene&) {
    if (broken)
        return;
    const auto pixels = readFinishedFrame(settings.width, settings.height);
    size_t done = 0;
    while (done < pixels.size()) {
        const ssize_t n = write(pipe, pixels.data() + done, pixels.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // ffmpeg went away; the show stops at once and finish() reports why.
            broken = true;
            DisplayConfig::instance().running = false;
            return;
        }
        done += static_cast<size_t>(n);
    }
}

void VideoPipe::finish() {
    close(pipe);
    pipe = -1;
    int status = 0;
    waitpid(process, &status, 0);
    process = -1;
    if (broken || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream log(errorLog);
        std::stringstream text;
        text << log.rdbuf();
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        fail("ffmpeg failed with exit status " + std::to_string(code) + ": " + lastLine(text.str()));
    }
}

void VideoPipe::fail(const std::string& why) {
    std::error_code ignored;
    std::filesystem::remove(settings.output, ignored);
    std::remove(errorLog.c_str());
    errorLog.clear();
    fatalError(why);
}

// ---- Contact sheet ----------------------------------------------------------------------------------------

ContactSheet::ContactSheet(std::string sheet, int frameWidth, int frameHeight, int keep, int thumbWidth,
                           int sheetColumns)
    : output(std::move(sheet)), width(frameWidth), height(frameHeight), keepEvery(std::max(1, keep)),
      thumbnailWidth(thumbWidth), thumbnailHeight(std::max(1, thumbWidth * frameHeight / frameWidth)),
      columns(sheetColumns) {}

void ContactSheet::framePresented(int, const Scene&) {
    if (framesSeen++ % keepEvery != 0)
        return;
    const auto frame = flipRows(readFinishedFrame(width, height), width, height);
    // Box filter: every thumbnail pixel averages the frame pixels it covers.
    std::vector<uint8_t> thumbnail(static_cast<size_t>(thumbnailWidth) * thumbnailHeight * 3);
    for (int ty = 0; ty < thumbnailHeight; ++ty) {
        const int y0 = ty * height / thumbnailHeight;
        const int y1 = std::max(y0 + 1, (ty + 1) * height / thumbnailHeight);
        for (int tx = 0; tx < thumbnailWidth; ++tx) {
            const int x0 = tx * width / thumbnailWidth;
            const int x1 = std::max(x0 + 1, (tx + 1) * width / thumbnailWidth);
            uint32_t sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += frame[(static_cast<size_t>(y) * width + x) * 3 + c];
            const uint32_t count = static_cast<uint32_t>((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 3; ++c)
                thumbnail[(static_cast<size_t>(ty) * thumbnailWidth + tx) * 3 + c] =
                    static_cast<uint8_t>((sum[c] + count / 2) / count);
        }
    }
    thumbnails.push_back(std::move(thumbnail));
}

bool ContactSheet::write() const {
    if (thumbnails.empty())
        return true;
    const int gap = 4;
    const int used = std::min<int>(columns, static_cast<int>(thumbnails.size()));
    const int rows = (static_cast<int>(thumbnails.size()) + columns - 1) / columns;
    const int sheetWidth = used * (thumbnailWidth + gap) + gap;
    const int sheetHeight = rows * (thumbnailHeight + gap) + gap;
    std::vector<uint8_t> sheet(static_cast<size_t>(sheetWidth) * sheetHeight * 3, 24);
    for (size_t i = 0; i < thumbnails.size(); ++i) {
        const int left = gap + static_cast<int>(i % columns) * (thumbnailWidth + gap);
        const int top = gap + static_cast<int>(i / columns) * (thumbnailHeight + gap);
        for (int y = 0; y < thumbnailHeight; ++y)
            std::memcpy(&sheet[(static_cast<size_t>(top + y) * sheetWidth + left) * 3],
                        &thumbnails[i][static_cast<size_t>(y) * thumbnailWidth * 3],
                        static_cast<size_t>(thumbnailWidth) * 3);
    }
    if (!tools::writeFile(output, tools::encodePng(tools::makePng(sheetWidth, sheetHeight, 3, sheet)))) {
        showMessage("The contact sheet " + output + " cannot be written.");
        return false;
    }
    return true;
}

// ---- Progress ---------------------------------------------------------------------------------------------

CaptureProgress::CaptureProgress(int64_t total, double startSeconds)
    : totalFrames(total), showSeconds(startSeconds), startTicks(performanceCounter()) {}

void CaptureProgress::framePresented(int, const Scene& scene) {
    ++frames;
    showSeconds += scene.frameTime / 1000.0;
    const double elapsed = static_cast<double>(performanceCounter() - startTicks) / performanceFrequency();
    const double rate = elapsed > 0.0 ? frames / elapsed : 0.0;
    const double left =
        rate > 0.0 ? static_cast<double>(std::max<int64_t>(0, totalFrames - frames)) / rate : 0.0;
    std::fprintf(stderr, "\rframe %d/%lld, show %.1f s, %.1f fps, %.0f s left   ", frames,
                 static_cast<long long>(totalFrames), showSeconds, rate, left);
    std::fflush(stderr);
}

void CaptureProgress::summary() const {
    const double elapsed = static_cast<double>(performanceCounter() - startTicks) / performanceFrequency();
    std::fprintf(stderr, "\r%d frames in %.1f s (%.1f fps)%30s\n", frames, elapsed,
                 elapsed > 0 ? frames / elapsed : 0.0, "");
}

} // namespace halcyra
