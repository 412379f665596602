// halcyra: the setup dialog, the loading screen and the seven scenes, then exit. Offline runs render the
// same show on a fixed step into PNG frames, a video or a contact sheet.

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/Events.h"
#include "app/FrameCapture.h"
#include "app/MessageBox.h"
#include "app/OfflineCapture.h"
#include "app/Platform.h"
#include "app/Presentation.h"
#include "app/RenderJobs.h"
#include "app/Startup.h"
#include "app/StudioView.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "render/Engine.h"
#include "timeline/Demo.h"
#include "timeline/Playback.h"
#include "timeline/Player.h"

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Output paths are relative to where the program was started, not to the data folder.
std::string absolute(const std::string& path) {
    std::error_code code;
    return path.empty() ? path : fs::absolute(path, code).string();
}

// Loading runs from the program's start to the first scene frame presented (to the end of loading when
// no frame was shown).
void printRunFigures(const halcyra::LoadingTimes& times, uint64_t startTicks, uint64_t loadedTicks) {
    using namespace halcyra;
    const uint64_t end = times.firstFrameCounter != 0 ? times.firstFrameCounter : loadedTicks;
    const double loadingMs = static_cast<double>(end - startTicks) / performanceFrequency() * 1000.0 - 1000.0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::fputs(times.report().c_str(), stdout);
    std::printf("loading %.0f ms (without the two 500 ms pauses), peak memory %.1f MiB\n", loadingMs,
                usage.ru_maxrss / 1024.0);
}

// F12: the frame capture is made on first use, inside a scene, when the Engine exists.
void captureFrame() {
    halcyra::FrameCapture::instance().capture();
}

} // namespace

int main(int argc, char** argv) {
    using namespace halcyra;
    tuneMemoryAllocator();
    installPlatform();

    Options options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "halcyra: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("halcyra %s\n", HALCYRA_VERSION);
        return 0;
    }
    const std::string captureDir = absolute(options.captureDir);
    const std::string videoFile = absolute(options.videoFile);
    const std::string contactSheetFile = absolute(options.contactSheet);
    const std::string joinDir = absolute(options.joinDir);
    const std::string shadersDir = absolute(options.shadersDir);
    if (!shadersDir.empty() && !fs::is_directory(shadersDir)) {
        std::fprintf(stderr, "halcyra: option '--shaders' needs a folder of GLSL sources; %s is none\n",
                     options.shadersDir.c_str());
        return 2;
    }
    const bool offline = !captureDir.empty() || !videoFile.empty() || !contactSheetFile.empty();
    fs::path dataFolder;
    if (!resolveDataFolder(options.dataDir, dataFolder, error)) {
        std::fprintf(stderr, "halcyra: %s\n", error.c_str());
        return 2;
    }
    setDataFolder(dataFolder.string());
    const std::string soundtrackFile = dataFilePath("muzak.mp3");

    // Spreading the render over processes needs no display here: the jobs render, this process plans,
    // watches and joins.
    if (options.plan || options.jobs > 1 || !options.joinDir.empty()) {
        const int fps = options.framesPerSecond.value_or(60);
        const FrameRange range = frameRange(options, fps);
        if (options.plan) {
            for (const FrameRange& part : splitFrames(range, options.jobs))
                std::printf("%s\n", rangeText(part).c_str());
            return 0;
        }
        Options absoluteOptions = options;
        absoluteOptions.captureDir = captureDir;
        absoluteOptions.videoFile = videoFile;
        if (!options.joinDir.empty()) {
            std::string soundtrack;
            if (!options.noAudio && fs::exists(soundtrackFile))
                soundtrack = soundtrackFile;
            else if (!options.noAudio)
                halcyra::showMessage("sound file not found");
            if (!joinVideo(videoFile, joinDir, range, fps, soundtrack, error)) {
                halcyra::showMessage(error);
                return 255;
            }
            return 0;
        }
        std::error_code code;
        const fs::path program = fs::read_symlink("/proc/self/exe", code);
        return runRenderJobs(absoluteOptions, code ? std::string(argv[0]) : program.string(),
                             dataFolder.string());
    }

    const uint64_t startTicks = performanceCounter();
    DisplayConfig& config = DisplayConfig::instance();
    const char* videoError = nullptr;
    if (!initVideo(&videoError))
        fatalError(std::string("The video system could not start: ") +
                   (videoError ? videoError : "unknown error"));

    // The viewer's keys in real-time play; the studio's too with --studio.
    std::unique_ptr<Player> player;
    double startMs = options.startSeconds * 1000.0;
    if (!offline) {
        player = std::make_unique<Player>(Demo::sceneLengths(), Demo::sceneNames(), options.studio);
        if (options.loop) {
            player->loop(options.loop->first * 1000.0, options.loop->second * 1000.0);
            if (options.startSeconds == 0.0)
                startMs = options.loop->first * 1000.0;
        }
    }
    const bool headless = isHeadless();
    PlatformSettings settings;
    settings.interactive = !headless && !options.noDialog && !offline;
    settings.presenting = !offline;
    settings.capture = captureFrame;
    if (player != nullptr) {
        settings.player = [&player](const PlayerRequest& request) { player->handle(request); };
        settings.studioKeys = options.studio;
    }
    if (options.studio) {
        setStudioPlayer(player.get());
        settings.pictureView = drawPassView;
        settings.windowOverlay = drawStudioOverlay;
    }
    configurePlatform(settings);
    DisplayRequest request;
    request.showDialog = !headless && !options.noDialog && !offline;
    request.mode = options.mode;
    request.fullscreen = offline ? std::optional<bool>(false) : options.fullscreen;
    request.vsync = offline ? std::optional<bool>(false) : options.vsync;
    request.width = options.width;
    request.height = options.height;
    request.desktopSize = options.desktopSize;
    request.draft = options.draft;
    request.hidden = offline;
    config.display = options.display;
    config.gentle = options.gentle;
    initDisplay(config, request);
    if (options.gpuClass)
        GlExtensions::instance().GpuVendorClass = *options.gpuClass;

    FrameStatistics statistics;
    std::optional<ShowTimeLimit> limit;
    FrameObservers observers;
    if (options.durationSeconds && !offline) {
        limit.emplace(*options.durationSeconds * 1000.0);
        observers.add(&*limit);
    }

    {
        Demo demo(shadersDir);
        const uint64_t loadedTicks = performanceCounter();

        const int fps = options.framesPerSecond.value_or(contactSheetFile.empty() ? 60 : 1);
        const FrameRange range = frameRange(options, fps);
        const std::vector<FrameRange> ranges = frameRanges(options, fps);
        int64_t frameCount = 0;
        for (const FrameRange& part : ranges)
            frameCount += part.count();
        std::unique_ptr<PngSequence> frames;
        std::unique_ptr<VideoPipe> video;
        std::unique_ptr<ContactSheet> sheet;
        std::unique_ptr<CaptureProgress> progress;
        if (!captureDir.empty())
            observers.add((frames = std::make_unique<PngSequence>(
                               captureDir, config.width, config.height, ranges,
                               static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))))
                              .get());
        if (!videoFile.empty()) {
            VideoPipe::Settings settings{
                videoFile, config.width, config.height, fps, range.first / double(fps), {}};
            if (!options.noAudio && fs::exists(soundtrackFile))
                settings.soundtrack = soundtrackFile;
            else if (!options.noAudio)
                showMessage("sound file not found");
            observers.add((video = std::make_unique<VideoPipe>(settings)).get());
        }
        if (!contactSheetFile.empty())
            observers.add(
                (sheet = std::make_unique<ContactSheet>(contactSheetFile, config.width, config.height, fps))
                    .get());
        if (offline && !options.quiet) {
            observers.add((progress = std::make_unique<CaptureProgress>(frameCount)).get());
        }
        std::unique_ptr<JobProgress> jobProgress;
        if (options.progressFd >= 0)
            observers.add((jobProgress = std::make_unique<JobProgress>(options.progressFd, ranges)).get());
        if (options.stats)
            observers.add(&statistics);

        if (options.studio)
            player->watchShaders(demo.shaderSources.get());

        PerformanceClock realClock;
        FrameSchedule schedule =
            offline ? FrameSchedule::fixedStep(fps, ranges) : FrameSchedule::realTime(realClock, startMs);
        PlayOptions play;
        play.schedule = &schedule;
        play.observer = &observers;
        play.music = !offline;
        play.player = player.get();
        demo.play(play);
        // The keys and the studio's views end with the show.
        settings.player = nullptr;
        settings.pictureView = nullptr;
        settings.windowOverlay = nullptr;
        configurePlatform(settings);
        releaseStudioView();

        if (frames && !frames->finishFrames())
            fatalError(frames->failure());
        if (progress)
            progress->summary();
        if (video)
            video->finish();
        if (sheet && !sheet->write())
            exitFatally();
        if (options.stats) {
            std::fputs((glReport(options.gpuClass.has_value()) + pictureSizeReport(config, !offline)).c_str(),
                       stdout);
            if (config.stopReason() != StopReason::None)
                std::printf("stopped early: %s\n", stopReasonText(config.stopReason()));
            std::fputs(statistics.report().c_str(), stdout);
            if (player != nullptr)
                std::fputs((player->report() + demo.musicReport).c_str(), stdout);
            if (frames || video)
                std::fputs((frames ? frames->times() : video->times()).report().c_str(), stdout);
            printRunFigures(demo.loadingTimes, startTicks, loadedTicks);
        }
        // Stopped early (an interrupt or a signal ends an offline run as Escape ends the show): what was
        // written is complete, but a script or a job must not take it for the whole stretch.
        if (frames || video) {
            const int drawn = (frames ? frames->times() : video->times()).frames;
            if (drawn < frameCount)
                fatalError("The render stopped after " + std::to_string(drawn) + " of " +
                           std::to_string(frameCount) + " frames: " + stopReasonText(config.stopReason()) +
                           ".");
        }
    }
    if (FrameCapture::exists())
        FrameCapture::destroy();
    Engine::destroy();
    shutdownDisplay();
    return 0;
}
