#include "app/CaptureWorkers.h"

#include "core/Platform.h"

#include <algorithm>
#include <cstdio>

namespace halcyra {

std::string CaptureTimes::report() const {
    if (frames == 0)
        return "capture: no frames\n";
    const double n = frames;
    char text[512];
    int length = std::snprintf(
        text, sizeof text,
        "capture: %d frames; per frame on the main thread: render %.1f ms, readback %.1f ms, waiting for the "
        "workers %.1f ms; on %d worker thread%s: encode %.1f ms, write %.1f ms\n",
        frames, render / n, readback / n, waiting / n, threads, threads == 1 ? "" : "s", encode / n,
        write / n);
    if (cpuFrames > 0 && length > 0 && length < static_cast<int>(sizeof text))
        length += std::snprintf(text + length, sizeof text - static_cast<size_t>(length),
                                "capture CPU time per frame: %.1f ms in this process (all threads)",
                                cpu / cpuFrames);
    if (encoderCpu > 0.0 && length > 0 && length < static_cast<int>(sizeof text))
        length += std::snprintf(text + length, sizeof text - static_cast<size_t>(length),
                                ", %.1f ms in ffmpeg", encoderCpu / n);
    if (cpuFrames > 0 && length > 0 && length < static_cast<int>(sizeof text) - 1)
        std::snprintf(text + length, sizeof text - static_cast<size_t>(length), "\n");
    return text;
}

void CaptureTimes::writeJson(JsonWriter& json) const {
    const double n = frames > 0 ? frames : 1;
    json.beginObject().member("frames", frames).member("threads", threads);
    json.member("renderMs", render / n).member("readbackMs", readback / n).member("waitingMs", waiting / n);
    json.member("encodeMs", encode / n).member("writeMs", write / n);
    json.member("cpuMs", cpuFrames > 0 ? cpu / cpuFrames : 0.0).member("encoderCpuMs", encoderCpu / n);
    json.endObject();
}

CaptureWorkers::CaptureWorkers(int threadCount, Work frameWork)
    : work(std::move(frameWork)), capacity(static_cast<size_t>(std::max(1, threadCount))) {
    const int count = std::max(1, threadCount);
    times.threads = count;
    threadTimes.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        threads.emplace_back([this, i] { run(threadTimes[static_cast<size_t>(i)]); });
}

CaptureWorkers::~CaptureWorkers() {
    finish();
}

std::vector<uint8_t> CaptureWorkers::buffer(size_t size) {
    std::vector<uint8_t> pixels;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!spare.empty()) {
            pixels = std::move(spare.back());
            spare.pop_back();
        }
    }
    pixels.resize(size);
    return pixels;
}

bool CaptureWorkers::submit(CapturedFrame frame) {
    const uint64_t start = performanceCounter();
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return failed || queue.size() < capacity; });
    times.waiting += counterMilliseconds(start, performanceCounter());
    if (failed)
        return false;
    queue.push_back(std::move(frame));
    changed.notify_all();
    return true;
}

void CaptureWorkers::run(CaptureTimes& own) {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [&] { return stopping || failed || !queue.empty(); });
        if (failed || queue.empty())
            return;
        CapturedFrame frame = std::move(queue.front());
        queue.pop_front();
        ++busy;
        changed.notify_all();
        lock.unlock();
        std::string why;
        const bool done = work(frame, own, why);
        lock.lock();
        --busy;
        if (done) {
            spare.push_back(std::move(frame.pixels));
        } else if (!failed) {
            failed = true;
            error = why;
        }
        changed.notify_all();
    }
}

bool CaptureWorkers::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& thread : threads)
        thread.join();
    if (!threads.empty()) {
        threads.clear();
        for (const CaptureTimes& own : threadTimes) {
            times.encode += own.encode;
            times.write += own.write;
        }
    }
    return !failed;
}

} // namespace halcyra
