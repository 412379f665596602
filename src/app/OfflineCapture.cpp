#include "app/OfflineCapture.h"

#include "app/Platform.h"
#include "app/ScreenFramebuffer.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "scenes/Scene.h"
#include "timeline/Demo.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <png.h>
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

double millisecondsSince(uint64_t start) {
    return counterMilliseconds(start, performanceCounter());
}

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Writes `bytes` to `path` through a temporary name, so that no half-written file ever has the real name.
bool writeWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string partial = path + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

} // namespace

bool programInstalled(const char* name) {
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

namespace {

std::string lastLine(const std::string& text) {
    std::string line;
    std::stringstream lines(text);
    for (std::string current; std::getline(lines, current);)
        if (!current.empty())
            line = current;
    return line;
}

} // namespace

void readFinishedFrame(int width, int height, std::vector<uint8_t>& pixels) {
    pixels.resize(static_cast<size_t>(width) * height * 4);
    bindScreenForReading();
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                                                  DisplayConfig::instance().screenFramebuffer);
}

std::vector<uint8_t> encodePngFrame(int width, int height, const uint8_t* bgraBottomUp, int level) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendPng, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Fixed settings, so that the same picture always gives the same bytes.
    png_set_compression_level(png, level);
    if (level <= 1) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_compression_strategy(png, 3); // Z_RLE
    }
    png_write_info(png, info);
    // The rows come as B, G, R, A from the bottom up; libpng drops A and swaps to R, G, B as it writes.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int y = height - 1; y >= 0; --y)
        png_write_row(png, const_cast<png_bytep>(bgraBottomUp + static_cast<size_t>(y) * stride));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- Frames handed to worker threads ------------------------------------------------------------------

CapturedFrames::CapturedFrames(int frameWidth, int frameHeight, std::vector<FrameRange> frameNumbers,
                               int threads, CaptureWorkers::Work work)
    : width(frameWidth), height(frameHeight), numbers(std::move(frameNumbers)),
      number(numbers.empty() ? 0 : numbers.front().first), workers(threads, std::move(work)) {}

void CapturedFrames::framePresented(int, const Scene&) {
    CaptureTimes& times = workers.times;
    if (lastFrameEnd != 0)
        times.render += millisecondsSince(lastFrameEnd);
    // The frame's rendering ends here, so that the readback's time is the copy alone.
    glFinish();
    const uint64_t start = performanceCounter();
    CapturedFrame frame{number++, workers.buffer(static_cast<size_t>(width) * height * 4)};
    if (numberRange + 1 < numbers.size() && number >= numbers[numberRange].end)
        number = numbers[++numberRange].first;
    readFinishedFrame(width, height, frame.pixels);
    times.readback += millisecondsSince(start);
    ++times.frames;
    // A failed frame stops the show at once; the caller reports why after the show has ended.
    if (!workers.submit(std::move(frame)))
        DisplayConfig::instance().stop(StopReason::CaptureFailed);
    if (firstFrameCpu < 0.0)
        firstFrameCpu = processCpuMilliseconds();
    lastFrameEnd = performanceCounter();
}

bool CapturedFrames::finishFrames() {
    const bool finished = workers.finish();
    if (firstFrameCpu >= 0.0 && workers.times.frames > 1) {
        workers.times.cpu = processCpuMilliseconds() - firstFrameCpu;
        workers.times.cpuFrames = workers.times.frames - 1;
        firstFrameCpu = -1.0;
    }
    return finished;
}

// ---- PNG frames -------------------------------------------------------------------------------------------

PngSequence::PngSequence(std::string outputFolder, int frameWidth, int frameHeight,
                         std::vector<FrameRange> numbers, int threads)
    : CapturedFrames(frameWidth, frameHeight, std::move(numbers), threads,
                     [this](CapturedFrame& frame, CaptureTimes& times, std::string& error) {
                         return writeFrame(frame, times, error);
                     }),
      folder(std::move(outputFolder)) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code || !std::filesystem::is_directory(folder))
        fatalError("The capture folder " + folder + " cannot be made: " + code.message());
}

PngSequence::~PngSequence() {
    finishFrames();
}

std::string PngSequence::frameName(int64_t number) {
    char name[40];
    std::snprintf(name, sizeof name, "frame%05lld.png", static_cast<long long>(number));
    return name;
}

bool PngSequence::writeFrame(CapturedFrame& frame, CaptureTimes& times, std::string& error) const {
    uint64_t start = performanceCounter();
    const std::vector<uint8_t> png = encodePngFrame(width, height, frame.pixels.data(), compressionLevel);
    times.encode += millisecondsSince(start);
    start = performanceCounter();
    const std::string path = (std::filesystem::path(folder) / frameName(frame.number)).string();
    const bool written = !png.empty() && writeWhole(path, png);
    times.write += millisecondsSince(start);
    if (!written)
        error = "The frame " + path + " cannot be written: " + std::strerror(errno);
    return written;
}

// ---- Video through ffmpeg ---------------------------------------------------------------------------------

std::vector<std::string> VideoPipe::arguments(const Settings& settings) {
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", settings.width, settings.height);
    char start[32];
    std::snprintf(start, sizeof start, "%.3f", settings.startSeconds);
    std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error",         "-y",
        "-f",           "rawvideo",  "-pixel_format", "bgra",
        "-video_size",  size,        "-framerate",    std::to_string(settings.framesPerSecond),
        "-i",           "-"};
    if (!settings.soundtrack.empty())
        args.insert(args.end(), {"-ss", start, "-i", settings.soundtrack, "-map", "0:v", "-map", "1:a"});
    // The veryfast preset takes about 40 % of the medium preset's CPU time and 60 % of its memory at
    // 1920 x 1080 for the same size and quality at this rate factor, leaving the cores to the renderer.
    args.insert(args.end(), {"-vf", "vflip", "-c:v", "libx264", "-preset", "veryfast", "-crf", "16",
                             "-pix_fmt", "yuv420p"});
    if (!settings.soundtrack.empty())
        args.insert(args.end(), {"-c:a", "aac", "-shortest"});
    // The index goes before the frames, so that a browser plays the video while it downloads.
    args.insert(args.end(), {"-movflags", "+faststart", settings.output});
    return args;
}

VideoPipe::VideoPipe(Settings videoSettings)
    : CapturedFrames(videoSettings.width, videoSettings.height,
                     {FrameRange{static_cast<int64_t>(std::llround(videoSettings.startSeconds *
                                                                   videoSettings.framesPerSecond)),
                                 INT64_MAX}},
                     1,
                     [this](CapturedFrame& frame, CaptureTimes& times, std::string& error) {
                         return writeFrame(frame, times, error);
                     }),
      settings(std::move(videoSettings)) {
    if (!programInstalled("ffmpeg"))
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
    // Ended early: ffmpeg goes first, so that a worker blocked on the pipe returns.
    if (process > 0)
        kill(process, SIGKILL);
    finishFrames();
    if (pipe >= 0)
        close(pipe);
    if (process > 0)
        waitpid(process, nullptr, 0);
    if (!errorLog.empty())
        std::remove(errorLog.c_str());
}

bool VideoPipe::writeFrame(CapturedFrame& frame, CaptureTimes& times, std::string& error) {
    const uint64_t start = performanceCounter();
    const uint8_t* data = frame.pixels.data();
    size_t done = 0;
    while (done < frame.pixels.size()) {
        const ssize_t n = write(pipe, data + done, frame.pixels.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // ffmpeg went away; finish() reports why from its exit status and last line.
            error = "ffmpeg stopped reading";
            return false;
        }
        done += static_cast<size_t>(n);
    }
    times.write += millisecondsSince(start);
    return true;
}

void VideoPipe::finish() {
    const bool framesWritten = finishFrames();
    close(pipe);
    pipe = -1;
    int status = 0;
    const double childrenCpu = processCpuMilliseconds(true);
    waitpid(process, &status, 0);
    process = -1;
    times().encoderCpu = processCpuMilliseconds(true) - childrenCpu;
    if (!framesWritten || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
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
    readFinishedFrame(width, height, frame);
    // Box filter: every thumbnail pixel averages the frame pixels it covers. Thumbnails keep the frame's
    // layout: BGRA, bottom row first.
    std::vector<uint8_t> thumbnail(static_cast<size_t>(thumbnailWidth) * thumbnailHeight * 4, 255);
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
                        sum[c] += frame[(static_cast<size_t>(y) * width + x) * 4 + c];
            const uint32_t count = static_cast<uint32_t>((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 3; ++c)
                thumbnail[(static_cast<size_t>(ty) * thumbnailWidth + tx) * 4 + c] =
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
    // Built bottom row first, as the thumbnails are: the first thumbnail lands top left.
    std::vector<uint8_t> sheet(static_cast<size_t>(sheetWidth) * sheetHeight * 4, 24);
    for (size_t i = 0; i < thumbnails.size(); ++i) {
        const int left = gap + static_cast<int>(i % columns) * (thumbnailWidth + gap);
        const int top = gap + static_cast<int>(i / columns) * (thumbnailHeight + gap);
        const int bottom = sheetHeight - top - thumbnailHeight;
        for (int y = 0; y < thumbnailHeight; ++y)
            std::memcpy(&sheet[(static_cast<size_t>(bottom + y) * sheetWidth + left) * 4],
                        &thumbnails[i][static_cast<size_t>(y) * thumbnailWidth * 4],
                        static_cast<size_t>(thumbnailWidth) * 4);
    }
    const std::vector<uint8_t> png = encodePngFrame(sheetWidth, sheetHeight, sheet.data(), 6);
    if (png.empty() || !writeWhole(output, png)) {
        showMessage("The contact sheet " + output + " cannot be written.");
        return false;
    }
    return true;
}

// ---- Progress ---------------------------------------------------------------------------------------------

CaptureProgress::CaptureProgress(int64_t total)
    : totalFrames(total), sceneStarts(Demo::sceneStarts()), startTicks(performanceCounter()) {}

void CaptureProgress::framePresented(int sceneIndex, const Scene& scene) {
    ++frames;
    const size_t index =
        std::clamp<size_t>(static_cast<size_t>(std::max(0, sceneIndex)), 0, sceneStarts.size() - 1);
    const double showSeconds = (sceneStarts[index] + scene.time) / 1000.0;
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
