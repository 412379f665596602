#include "app/OfflineRun.h"

#include "app/OfflineCapture.h"
#include "core/Message.h"
#include "timeline/Demo.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <thread>

namespace halcyra {

FrameRange frameRange(const Options& options, int fps) {
    const int64_t showFrames = showFrameCount(Demo::sceneLengths(), fps);
    FrameRange range;
    range.first = static_cast<int64_t>(std::ceil(options.startSeconds * fps - 1e-6));
    range.end = showFrames;
    if (options.durationSeconds)
        range.end =
            range.first +
            std::max<int64_t>(1, static_cast<int64_t>(std::ceil(*options.durationSeconds * fps - 1e-6)));
    if (!options.frames.empty()) {
        range.first = options.frames.front().first;
        range.end = options.frames.back().second + 1;
    }
    range.first = std::min(range.first, showFrames);
    range.end = std::clamp(range.end, range.first, showFrames);
    return range;
}

std::vector<FrameRange> frameRanges(const Options& options, int fps) {
    if (options.frames.size() < 2)
        return {frameRange(options, fps)};
    const int64_t showFrames = showFrameCount(Demo::sceneLengths(), fps);
    std::vector<FrameRange> ranges;
    for (const auto& [first, last] : options.frames)
        if (first < showFrames)
            ranges.push_back({first, std::min(last + 1, showFrames)});
    return ranges;
}

CaptureOutputs::CaptureOutputs(const Options& options, int width, int height, const std::string& soundtrack) {
    fps = options.framesPerSecond.value_or(options.contactSheet.empty() ? 60 : 1);
    ranges = frameRanges(options, fps);
    for (const FrameRange& part : ranges)
        frameCount += part.count();
    if (!options.captureDir.empty())
        frames = std::make_unique<PngSequence>(
            options.captureDir, width, height, ranges,
            static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    if (!options.videoFile.empty()) {
        const FrameRange range = frameRange(options, fps);
        VideoPipe::Settings settings{options.videoFile, width, height, fps, range.first / double(fps), {}};
        if (!options.noAudio && std::filesystem::exists(soundtrack))
            settings.soundtrack = soundtrack;
        else if (!options.noAudio)
            showMessage("sound file not found");
        video = std::make_unique<VideoPipe>(settings);
    }
    if (!options.contactSheet.empty())
        sheet = std::make_unique<ContactSheet>(options.contactSheet, width, height, fps);
    if (!options.quiet)
        progress = std::make_unique<CaptureProgress>(frameCount);
    if (options.progressFd >= 0)
        jobProgress = std::make_unique<JobProgress>(options.progressFd, ranges);
}

CaptureOutputs::~CaptureOutputs() = default;

void CaptureOutputs::addTo(FrameObservers& observers) {
    for (FrameObserver* observer : std::initializer_list<FrameObserver*>{
             frames.get(), video.get(), sheet.get(), progress.get(), jobProgress.get()})
        if (observer != nullptr)
            observers.add(observer);
}

void CaptureOutputs::finish() {
    if (frames && !frames->finishFrames())
        fatalError(frames->failure());
    if (progress)
        progress->summary();
    if (video)
        video->finish();
    if (sheet && !sheet->write())
        exitFatally();
    // Stopped early (an interrupt or a signal ends an offline run as Escape ends the show): what was
    // written is complete, but a script or a job must not take it for the whole stretch.
    if (const CaptureTimes* written = times(); written != nullptr && written->frames < frameCount)
        fatalError("The render stopped after " + std::to_string(written->frames) + " of " +
                   std::to_string(frameCount) +
                   " frames: " + stopReasonText(DisplayConfig::instance().stopReason()) + ".");
}

const CaptureTimes* CaptureOutputs::times() const {
    return frames ? &frames->times() : video ? &video->times() : nullptr;
}

} // namespace halcyra
