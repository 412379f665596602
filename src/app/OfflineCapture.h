// Offline rendering's outputs: the show played on a fixed step, every finished frame read back
// (FrameReadback) and written as a numbered PNG (PngWriter, written whole), piped to a started ffmpeg
// (Processes) as raw video with the soundtrack muxed in, or shrunk onto a contact sheet. PNG encoding and
// writing into ffmpeg run on worker threads while the next frame renders. A progress line for people on
// stderr is refreshed in place; render jobs count their frames on a channel of their own. Failures (an
// unwritable folder, a missing or failing ffmpeg) end the run with a message and leave no partial video or
// frame file behind.
#pragma once

#include "app/CaptureWorkers.h"
#include "app/Processes.h"
#include "timeline/Playback.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace halcyra {

// Reads every presented frame back and hands it to worker threads; the base of PNG and video output.
class CapturedFrames : public FrameObserver {
public:
    // Frames are numbered through `numbers` in order, a stretch's first after the end of the one before.
    CapturedFrames(int width, int height, std::vector<FrameRange> numbers, int threads,
                   CaptureWorkers::Work work);
    void framePresented(int sceneIndex, const Scene& scene) override;
    // Waits for the workers; false with failure() set when a frame could not be finished.
    bool finishFrames();
    const std::string& failure() const { return workers.failure(); }
    const CaptureTimes& times() const { return workers.times; }
    CaptureTimes& times() { return workers.times; }

protected:
    int width;
    int height;

private:
    FrameNumbers numbers;
    uint64_t lastFrameEnd = 0;
    double firstFrameCpu = -1.0;
    CaptureWorkers workers;
};

// Writes DIR/frameNNNNN.png (top row first), N the frame's number in the whole show, through `numbers`.
class PngSequence final : public CapturedFrames {
public:
    // Compression level 1 with the Up filter and run-length matching: about 60 ms a 1024 x 768 frame,
    // 40 % larger than level 9, which took seconds.
    static constexpr int compressionLevel = 1;

    PngSequence(std::string folder, int width, int height, std::vector<FrameRange> numbers, int threads = 2);
    ~PngSequence() override;
    static std::string frameName(int64_t number);

private:
    bool writeFrame(CapturedFrame& frame, CaptureTimes& times, std::string& error) const;

    std::string folder;
};

// Pipes raw frames to a spawned ffmpeg that encodes H.264 with the soundtrack (AAC) from `startSeconds`.
class VideoPipe final : public CapturedFrames {
public:
    struct Settings {
        std::string output;
        int width = 0;
        int height = 0;
        int framesPerSecond = 60;
        double startSeconds = 0.0;
        std::string soundtrack; // empty: a silent video
    };
    // Starts ffmpeg; a missing ffmpeg ends the run with a message.
    explicit VideoPipe(Settings settings);
    ~VideoPipe() override;
    // Closes the pipe and waits for ffmpeg; a failure ends the run with its status and last line, after
    // removing the partial file.
    void finish();
    // The ffmpeg arguments for these settings (without the program name).
    static std::vector<std::string> arguments(const Settings& settings);

private:
    bool writeFrame(CapturedFrame& frame, CaptureTimes& times, std::string& error);
    void fail(const std::string& why);

    Settings settings;
    int pipe = -1;
    int process = -1;
    ErrorLog errorLog; // ffmpeg's standard error
};

// One thumbnail for every `keepEvery`-th frame (one per second of show when it is the frame rate), in rows
// of `columns`, written as one PNG at the end. Stepping finer than the kept frames lets effects that build
// up frame by frame look on the sheet as they do in playback.
class ContactSheet final : public FrameObserver {
public:
    ContactSheet(std::string output, int width, int height, int keepEvery = 1, int thumbnailWidth = 256,
                 int columns = 16);
    void framePresented(int sceneIndex, const Scene& scene) override;
    // Writes the sheet; false with a message when it cannot be written.
    bool write() const;

private:
    std::string output;
    int width;
    int height;
    int keepEvery;
    int thumbnailWidth;
    int thumbnailHeight;
    int columns;
    int framesSeen = 0;
    std::vector<uint8_t> frame;                   // the frame read back, reused
    std::vector<std::vector<uint8_t>> thumbnails; // BGRA, bottom row first
};

// For a render job: a line "frame N" on descriptor `fd` for every finished frame, numbered through
// `stretches`: the channel the process that started the job counts by.
class JobProgress final : public FrameObserver {
public:
    JobProgress(int fd, std::vector<FrameRange> stretches) : descriptor(fd), numbers(std::move(stretches)) {}
    void framePresented(int sceneIndex, const Scene& scene) override;

private:
    int descriptor;
    FrameNumbers numbers;
};

// "frame 120/600, show 22.0 s, 31.4 fps, 15 s left", refreshed in place on stderr for people, and a summary
// at the end.
class CaptureProgress final : public FrameObserver {
public:
    explicit CaptureProgress(int64_t totalFrames);
    void framePresented(int sceneIndex, const Scene& scene) override;
    void summary() const;

private:
    int64_t totalFrames;
    std::vector<double> sceneStarts; // ms of show time at which each scene begins
    int frames = 0;
    uint64_t startTicks;
};

} // namespace halcyra
