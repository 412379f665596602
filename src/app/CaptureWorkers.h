// CaptureWorkers: the threads that encode and write captured frames while the main thread renders the
// next ones. Frames wait in a bounded queue (the main thread blocks when it is full, so memory stays
// bounded whatever the speeds) and their pixel buffers are reused. One thread keeps the frames in order
// (a video pipe); several finish them in any order (numbered PNG files). The first failure stops the
// work; the capture reports it from the main thread. Stage times are summed for the --stats report.
#pragma once

#include "core/JsonWriter.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace halcyra {

// A finished frame: its number in the show and its pixels as read back.
struct CapturedFrame {
    int64_t number = 0;
    std::vector<uint8_t> pixels;
};

// Milliseconds summed over a capture's frames, per stage.
struct CaptureTimes {
    int frames = 0;
    double render = 0.0;   // main thread: the scenes' update and drawing, until the frame is finished
    double readback = 0.0; // main thread: reading the finished frame back from GL
    double waiting = 0.0;  // main thread: blocked because every worker was busy and the queue full
    double encode = 0.0;   // workers: PNG compression
    double write = 0.0;    // workers: writing files, or into ffmpeg's pipe (waiting for ffmpeg included)
    int threads = 0;
    // CPU time of every thread of the process over `cpuFrames` frames (from the end of the first to the
    // last frame written), and of ffmpeg for the whole video: unlike the stage times, not stretched when
    // other programs share the cores.
    double cpu = 0.0;
    int cpuFrames = 0;
    double encoderCpu = 0.0;
    // "capture: N frames, per frame: render …" for --stats.
    std::string report() const;
    // The same as a JSON object: "frames", "threads", and per frame "renderMs", "readbackMs", "waitingMs",
    // "encodeMs", "writeMs", "cpuMs", "encoderCpuMs".
    void writeJson(JsonWriter& json) const;
};

class CaptureWorkers {
public:
    // `work` finishes one frame and returns false with a reason in `error` when it cannot; it adds its
    // stage times to the CaptureTimes it is given (each thread has its own, summed at the end).
    using Work = std::function<bool(CapturedFrame& frame, CaptureTimes& times, std::string& error)>;

    CaptureWorkers(int threadCount, Work work);
    ~CaptureWorkers();
    CaptureWorkers(const CaptureWorkers&) = delete;
    CaptureWorkers& operator=(const CaptureWorkers&) = delete;

    // A buffer of `size` bytes for the next frame, reused from a finished one when there is one.
    std::vector<uint8_t> buffer(size_t size);
    // Queues a frame; blocks while the queue is full. Returns false once a frame has failed.
    bool submit(CapturedFrame frame);
    // Waits until every queued frame is finished and stops the threads. Returns false once a frame has
    // failed; `failure` says why.
    bool finish();
    const std::string& failure() const { return error; }
    // The workers' stage times (valid after finish) plus what the caller adds.
    CaptureTimes times;

private:
    void run(CaptureTimes& own);

    Work work;
    std::vector<std::thread> threads;
    std::vector<CaptureTimes> threadTimes;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<CapturedFrame> queue;
    std::vector<std::vector<uint8_t>> spare;
    size_t capacity;
    int busy = 0;
    bool stopping = false;
    bool failed = false;
    std::string error;
};

} // namespace halcyra
