// RenderJobs: an offline render spread over processes. The frames to render are split into contiguous
// ranges; each range is rendered by a process of this program (--frames), PNG frames straight into the
// one folder under their numbers in the show, video ranges as silent segments that are then joined
// without re-encoding (ffmpeg's concat demuxer) with the soundtrack muxed in once. `--jobs N` runs the
// ranges here; scripts/render-farm hands the ranges of `--plan` to GNU parallel and joins with `--join`.
#pragma once

#include "app/CommandLine.h"
#include "app/OfflineRun.h"
#include "timeline/Playback.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

// `parts` contiguous ranges covering `range`, as equal as can be (the first ones a frame longer); fewer
// when the range has fewer frames.
std::vector<FrameRange> splitFrames(FrameRange range, int parts);

// "FIRST-LAST", as --frames takes it.
std::string rangeText(FrameRange range);

// The folder a video's segments are rendered into: FILE.parts beside it.
std::string segmentFolder(const std::string& video);

// The arguments for the process that renders `range` (without the program name): this process's own
// options as they were given, but for those that split the render (the stretch, where the frames go, the
// data folder, the progress), which become `--frames`, the PNG folder or a silent segment in `segments`,
// the data folder found and no progress line.
std::vector<std::string> jobArguments(const Options& options, const std::string& dataFolder, FrameRange range,
                                      const std::string& segments);

// Runs the jobs of `options.jobs` in as many processes of `program`, with one combined progress line,
// then joins a video. Returns the exit status: 0, or 255 after a message.
int runRenderJobs(const Options& options, const std::string& program, const std::string& dataFolder);

// A render spread over processes, as the options ask (paths absolute): --plan prints the stretches,
// --join joins segments rendered elsewhere, --jobs renders here in `program`s. Needs no display: the jobs
// render, this process plans, watches and joins. Returns the exit status.
int spreadRender(const Options& options, const std::string& program, const std::string& dataFolder);

// Joins the segments in `segments` (FIRST-LAST.mp4, covering `range` without gap or overlap) into `video`,
// with `soundtrack` (when not empty) from the first frame's show time. False with a reason in `error`.
bool joinVideo(const std::string& video, const std::string& segments, FrameRange range, int fps,
               const std::string& soundtrack, std::string& error);

} // namespace halcyra
