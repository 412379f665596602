#include "app/OfflineCapture.h"

#include "app/FrameReadback.h"
#include "app/Platform.h"
#include "assets/PngWriter.h"
#include "core/DisplayConfig.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "core/WholeFile.h"
#include "scenes/Scene.h"
#include "timeline/Demo.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <signal.h>
#include <stb_image_resize.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace halcyra {
namespace {

double millisecondsSince(uint64_t start) {
    return counterMilliseconds(start, performanceCounter());
}

} // namespace

// ---- Frames handed to worker threads ------------------------------------------------------------------

CapturedFrames::CapturedFrames(int frameWidth, int frameHeight, std::vector<FrameRange> frameNumbers,
                               int threads, CaptureWorkers::Work work)
    : width(frameWidth), height(frameHeight), numbers(std::move(frameNumbers)),
      workers(threads, std::move(work)) {}

void CapturedFrames::framePresented(int, const Scene&) {
    CaptureTimes& times = workers.times;
    if (lastFrameEnd != 0)
        times.render += millisecondsSince(lastFrameEnd);
    // The frame's rendering ends here, so that the readback's time is the copy alone.
    glFinish();
    const uint64_t start = performanceCounter();
    CapturedFrame frame{numbers.next(), workers.buffer(static_cast<size_t>(width) * height * 4)};
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
    const bool written = !png.empty() && writeWholeFile(path, png);
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
    int fds[2];
    if (errorLog.descriptor() < 0 || ::pipe(fds) != 0)
        fatalError("ffmpeg cannot be started: " + std::string(std::strerror(errno)));
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    ChildDescriptors descriptors;
    descriptors.mapped = {{fds[0], STDIN_FILENO}, {errorLog.descriptor(), STDERR_FILENO}};
    descriptors.quietOutput = true;
    std::string error;
    const pid_t child = startProcess("ffmpeg", arguments(settings), descriptors, error);
    close(fds[0]);
    if (child < 0) {
        close(fds[1]);
        fatalError(error);
    }
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
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        fail("ffmpeg failed with exit status " + std::to_string(code) + ": " + lastLine(errorLog.text()));
    }
}

void VideoPipe::fail(const std::string& why) {
    std::error_code ignored;
    std::filesystem::remove(settings.output, ignored);
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
    // Every thumbnail pixel averages the frame pixels it covers (a box filter). Thumbnails keep the frame's
    // layout: BGRA, bottom row first.
    std::vector<uint8_t> thumbnail(static_cast<size_t>(thumbnailWidth) * thumbnailHeight * 4, 255);
    stbir_resize_uint8_generic(frame.data(), width, height, width * 4, thumbnail.data(), thumbnailWidth,
                               thumbnailHeight, thumbnailWidth * 4, 4, STBIR_ALPHA_CHANNEL_NONE, 0,
                               STBIR_EDGE_CLAMP, STBIR_FILTER_BOX, STBIR_COLORSPACE_LINEAR, nullptr);
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
    if (png.empty() || !writeWholeFile(output, png)) {
        showMessage("The contact sheet " + output + " cannot be written.");
        return false;
    }
    return true;
}

// ---- Progress ---------------------------------------------------------------------------------------------

void JobProgress::framePresented(int, const Scene&) {
    dprintf(descriptor, "frame %lld\n", static_cast<long long>(numbers.next()));
}

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
