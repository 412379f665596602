// OfflineRun: what an offline run renders and where it goes. The frames come from --frames, or from --start
// and --duration at --fps; they go to numbered PNGs (--capture), a video through ffmpeg (--video) or a
// contact sheet (--contact-sheet), with a progress line for people and, in a render job, a channel its
// parent counts them on. CaptureOutputs sets the outputs up as observers of the played frames and finishes
// them after the play; a render that stops short of its last frame ends the process with a message, so that
// no script takes it for the whole stretch.
#pragma once

#include "app/CaptureWorkers.h"
#include "app/CommandLine.h"
#include "timeline/Playback.h"

#include <memory>
#include <string>
#include <vector>

namespace halcyra {

class CaptureProgress;
class ContactSheet;
class JobProgress;
class PngSequence;
class VideoPipe;

// The frames an offline run renders at `fps`: --frames, or from --start (the first frame at or after it)
// for --duration (whole frames, at least one); never past the show's end. For a list of stretches, the
// span from the first frame to the last.
FrameRange frameRange(const Options& options, int fps);
// The stretches an offline run renders: those of --frames, each within the show, or frameRange alone.
std::vector<FrameRange> frameRanges(const Options& options, int fps);

class CaptureOutputs {
public:
    // The outputs `options` ask for (paths absolute), for pictures of `width` × `height`; `soundtrack` is the
    // data folder's music for a video.
    CaptureOutputs(const Options& options, int width, int height, const std::string& soundtrack);
    ~CaptureOutputs();
    CaptureOutputs(const CaptureOutputs&) = delete;
    CaptureOutputs& operator=(const CaptureOutputs&) = delete;

    void addTo(FrameObservers& observers);
    // After the play: the frames written, the video closed, the sheet written; a failure ends the process.
    void finish();
    // The capture's stage times, for --stats; null for a contact sheet, which has none.
    const CaptureTimes* times() const;

    int fps = 60;
    std::vector<FrameRange> ranges;
    int64_t frameCount = 0;

private:
    std::unique_ptr<PngSequence> frames;
    std::unique_ptr<VideoPipe> video;
    std::unique_ptr<ContactSheet> sheet;
    std::unique_ptr<CaptureProgress> progress;
    std::unique_ptr<JobProgress> jobProgress;
};

} // namespace halcyra
