#include "app/ShowRun.h"

#include "app/FrameCapture.h"
#include "app/OfflineRun.h"
#include "app/Platform.h"
#include "app/Startup.h"
#include "app/Studio.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/JsonWriter.h"
#include "core/Message.h"
#include "core/Platform.h"
#include "render/Engine.h"
#include "timeline/AdaptiveQuality.h"
#include "timeline/Demo.h"
#include "timeline/Playback.h"
#include "timeline/Soundtrack.h"
#include "timeline/Transport.h"

#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace halcyra {
namespace {

// F12: the frame capture is made on first use, inside a scene, when the Engine exists.
void captureFrame() {
    FrameCapture::instance().capture();
}

// What the end of a run reports, for people (--stats) and programs (--stats-json).
struct RunReport {
    std::string glLine, pictureLine, glJson, pictureJson; // as they were before the play
    const FrameStatistics* statistics = nullptr;
    const Transport* transport = nullptr;
    const Studio* studio = nullptr;
    const Soundtrack* soundtrack = nullptr;
    const CaptureTimes* capture = nullptr;
    const LoadingTimes* loading = nullptr;
    double loadingMs = 0.0; // from the program's start to the first scene frame, without the two pauses
    double peakMebibytes = 0.0;

    std::string prose() const {
        std::string text = glLine + pictureLine;
        const StopReason stopped = DisplayConfig::instance().stopReason();
        if (stopped != StopReason::None)
            text += std::string("stopped early: ") + stopReasonText(stopped) + "\n";
        text += statistics->report();
        if (transport != nullptr)
            text += transport->report();
        if (studio != nullptr)
            text += studio->report();
        if (soundtrack != nullptr)
            text += soundtrack->report();
        if (capture != nullptr)
            text += capture->report();
        char line[128];
        std::snprintf(line, sizeof line,
                      "loading %.0f ms (without the two 500 ms pauses), peak memory %.1f MiB\n", loadingMs,
                      peakMebibytes);
        return text + loading->report() + line;
    }

    std::string json() const {
        JsonWriter json;
        json.beginObject().raw(glJson).raw(pictureJson);
        const StopReason stopped = DisplayConfig::instance().stopReason();
        json.key("stopped");
        stopped != StopReason::None ? json.value(stopReasonText(stopped)) : json.null();
        json.key("scenes");
        statistics->writeJson(json, Demo::sceneNames());
        if (transport != nullptr)
            transport->writeJson(json);
        if (studio != nullptr)
            studio->writeJson(json);
        json.key("music");
        soundtrack != nullptr ? soundtrack->writeJson(json) : void(json.null());
        json.key("capture");
        capture != nullptr ? capture->writeJson(json) : void(json.null());
        json.key("loading").beginObject();
        loading->writeJson(json);
        json.member("loadingMs", loadingMs).member("peakMiB", peakMebibytes).endObject();
        return json.endObject().document();
    }
};

// The members a JsonWriter call leaves for splicing into the report's object later.
template <typename Write>
std::string jsonMembers(Write write) {
    JsonWriter json;
    json.beginObject();
    write(json);
    std::string text = json.endObject().document();
    return text.substr(1, text.rfind('}') - 1);
}

} // namespace

int runShow(const Options& options, uint64_t startTicks) {
    const bool offline =
        !options.captureDir.empty() || !options.videoFile.empty() || !options.contactSheet.empty();
    DisplayConfig& config = DisplayConfig::instance();
    const char* videoError = nullptr;
    if (!initVideo(&videoError))
        fatalError(std::string("The video system could not start: ") +
                   (videoError ? videoError : "unknown error"));

    // The viewer's keys in real-time play, and the studio's with --studio.
    std::optional<Transport> transport;
    double startMs = options.startSeconds * 1000.0;
    if (!offline) {
        transport.emplace(Demo::sceneLengths(), options.studio);
        if (options.loop) {
            transport->loop(options.loop->first * 1000.0, options.loop->second * 1000.0);
            if (options.startSeconds == 0.0)
                startMs = options.loop->first * 1000.0;
        }
    }
    std::unique_ptr<Studio> studio;
    const bool headless = isHeadless();
    PlatformSettings settings;
    settings.interactive = !headless && !options.noDialog && !offline;
    settings.presenting = !offline;
    settings.capture = captureFrame;
    if (transport) {
        settings.player = [&](const PlayerRequest& request) {
            transport->handle(request);
            if (studio != nullptr)
                studio->handle(request);
        };
        settings.studioKeys = options.studio;
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

    std::optional<Soundtrack> soundtrack;
    if (!offline)
        soundtrack.emplace(Demo::sceneStarts());
    FrameStatistics statistics;
    FrameObservers observers;
    std::optional<ShowTimeLimit> limit;
    if (options.durationSeconds && !offline) {
        limit.emplace(*options.durationSeconds * 1000.0);
        observers.add(&*limit);
    }
    {
        Demo demo(options.shadersDir, soundtrack ? &*soundtrack : nullptr);
        const uint64_t loadedTicks = performanceCounter();
        std::optional<CaptureOutputs> outputs;
        if (offline) {
            outputs.emplace(options, config.width, config.height, dataFilePath("muzak.mp3"));
            outputs->addTo(observers);
        }
        const bool report = options.stats || !options.statsJson.empty();
        if (report)
            observers.add(&statistics);
        // Where each frame's time goes, for the report and the studio's overlay.
        PassTimes& passTimes = Engine::instance().passTimes;
        if (report || options.studio) {
            passTimes.enable(true);
            passTimes.setSink([&statistics](const PassFrame& frame) { statistics.passes.add(frame); });
        }
        if (options.studio) {
            studio = std::make_unique<Studio>(*transport, demo.shaderSources.get());
            settings.pictureView = [&](int x, int y, int w, int h) {
                return studio->drawPassView(x, y, w, h);
            };
            settings.windowOverlay = [&](int w, int h) { studio->drawOverlay(w, h); };
            configurePlatform(settings);
        }

        // Adaptive quality: real-time play on a renderer that cannot draw the whole picture within a frame's
        // time draws it smaller, and says so.
        std::optional<AdaptiveQuality> quality;
        std::optional<AdaptivePicture> adaptivePicture;
        if (!offline && config.screenFramebuffer != 0 &&
            options.adaptive.value_or(GlExtensions::instance().softwareRenderer)) {
            const int edge = config.renderTargetSize;
            const double targetArea = config.pictureSizedTargets()
                                          ? static_cast<double>(config.width) * config.height
                                          : static_cast<double>(edge) * edge;
            quality.emplace(frameBudgetMs(config), config.width, config.height, targetArea);
            adaptivePicture.emplace(*quality, Demo::sceneStarts());
            observers.add(&*adaptivePicture);
            std::printf("halcyra: %s\n",
                        adaptiveQualityLine(options.adaptive.has_value(), quality->budget()).c_str());
        }
        RunReport summary;
        summary.glLine = glReport(options.gpuClass.has_value());
        summary.pictureLine = pictureSizeReport(config, !offline);
        summary.glJson =
            jsonMembers([&](JsonWriter& json) { writeGlJson(json, options.gpuClass.has_value()); });
        summary.pictureJson =
            jsonMembers([&](JsonWriter& json) { writePictureJson(json, config, !offline); });

        PerformanceClock realClock;
        FrameSchedule schedule = offline ? FrameSchedule::fixedStep(outputs->fps, outputs->ranges)
                                         : FrameSchedule::realTime(realClock, startMs);
        PlayOptions play;
        play.schedule = &schedule;
        play.observer = &observers;
        play.soundtrack = soundtrack ? &*soundtrack : nullptr;
        play.transport = transport ? &*transport : nullptr;
        play.hook = studio.get();
        demo.play(play);
        passTimes.flush();
        passTimes.enable(false);
        // The keys and the studio's views end with the show.
        settings.player = nullptr;
        settings.pictureView = nullptr;
        settings.windowOverlay = nullptr;
        configurePlatform(settings);
        if (outputs)
            outputs->finish();
        if (soundtrack)
            soundtrack->close();

        if (report) {
            const LoadingTimes& loading = demo.loadingTimes;
            const uint64_t firstFrame =
                loading.firstFrameCounter != 0 ? loading.firstFrameCounter : loadedTicks;
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            summary.statistics = &statistics;
            summary.transport = transport ? &*transport : nullptr;
            summary.studio = studio.get();
            summary.soundtrack = soundtrack ? &*soundtrack : nullptr;
            summary.capture = outputs ? outputs->times() : nullptr;
            summary.loading = &loading;
            summary.loadingMs = counterMilliseconds(startTicks, firstFrame) - 1000.0;
            summary.peakMebibytes = usage.ru_maxrss / 1024.0;
            if (options.stats)
                std::fputs(summary.prose().c_str(), stdout);
            if (!options.statsJson.empty()) {
                std::ofstream out(options.statsJson, std::ios::trunc);
                out << summary.json();
                if (!out)
                    showMessage("The statistics could not be written to " + options.statsJson + ".");
            }
        }
        studio.reset();
    }
    if (FrameCapture::exists())
        FrameCapture::destroy();
    Engine::destroy();
    shutdownDisplay();
    return 0;
}

} // namespace halcyra
