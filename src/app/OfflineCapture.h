// Offline rendering: the show played on a fixed step, every finished frame read back from the screen
// framebuffer and written as a numbered PNG, piped to ffmpeg as raw video with the soundtrack muxed in, or
// shrunk onto a contact sheet. A progress line on stderr is refreshed in place. Failures (an unwritable
// folder, a missing or failing ffmpeg) end the run with a message and leave no partial video behind.
#pragma once

#include "timeline/Playback.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

// The finished frame as RGB rows, bottom row first.
std::vector<uint8_t> readFinishedFrame(int width, int height);

// Writes DIR/frameNNNNN.png (top row first), N the frame's number in the whole show, from `firstNumber` on.
class PngSequence final : public FrameObserver {
public:
    PngSequence(std::string folder, int width, int height, int64_t firstNumber = 0);
    void framePresented(int sceneIndex, const Scene& scene) override;
    int frames() const { return written; }
    static std::string frameName(int64_t number);

private:
    std::string folder;
    int width;
    int height;
    int64_t firstNumber;
    int written = 0;
};

// Pipes raw RGB frames to a spawned ffmpeg that encodes H.264 with the soundtrack (AAC) from `startSeconds`.
class VideoPipe final : public FrameObserver {
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
    void framePresented(int sceneIndex, const Scene& scene) override;
    // Closes the pipe and waits for ffmpeg; a failure ends the run with its status and last line, after
    // removing the partial file.
    void finish();
    // The ffmpeg arguments for these settings (without the program name).
    static std::vector<std::string> arguments(const Settings& settings);

private:
    void fail(const std::string& why);

    Settings settings;
    int pipe = -1;
    int process = -1;
    std::string errorLog;
    bool broken = false;
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
    std::vector<std::vector<uint8_t>> thumbnails; // RGB, top row first
};

// "frame 120/600, show 22.0 s, 31.4 fps, 15 s left", refreshed in place on stderr, and a summary at the end.
class CaptureProgress final : public FrameObserver {
public:
    CaptureProgress(int64_t totalFrames, double startSeconds);
    void framePresented(int sceneIndex, const Scene& scene) override;
    void summary() const;

private:
    int64_t totalFrames;
    double showSeconds;
    int frames = 0;
    uint64_t startTicks;
};

} // namespace halcyra
