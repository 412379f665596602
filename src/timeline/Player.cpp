#include "timeline/Player.h"

#include "core/DisplayConfig.h"
#include "core/Platform.h"
#include "render/Engine.h"
#include "scenes/Scene.h"
#include "timeline/Playback.h"
#include "timeline/ShaderWatch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace halcyra {

Player::Player(std::vector<float> sceneLengths, std::vector<std::string> sceneNames, bool studio)
    : names(std::move(sceneNames)), inStudio(studio) {
    for (const float length : sceneLengths) {
        starts.push_back(totalMs);
        totalMs += length;
    }
}

Player::~Player() = default;

void Player::loop(double fromMs, double toMs) {
    loopStart = std::clamp(fromMs, 0.0, totalMs);
    loopEnd = std::clamp(toMs, 0.0, totalMs);
}

void Player::watchShaders(ShaderWatch* watch) {
    shaders = watch;
}

void Player::attach(FrameSchedule* playbackSchedule, std::function<void(bool, double)> musicControl) {
    schedule = playbackSchedule;
    music = std::move(musicControl);
}

double Player::sceneStartOf(int index) const {
    return index >= 0 && index < static_cast<int>(starts.size()) ? starts[static_cast<size_t>(index)]
                                                                 : totalMs;
}

int Player::sceneAt(double showMs) const {
    int index = 0;
    while (index + 1 < static_cast<int>(starts.size()) && showMs >= starts[static_cast<size_t>(index) + 1])
        ++index;
    return showMs < totalMs ? index : static_cast<int>(starts.size());
}

const std::string& Player::sceneName() const {
    static const std::string none;
    return scene >= 0 && scene < static_cast<int>(names.size()) ? names[static_cast<size_t>(scene)] : none;
}

int64_t Player::frameAt(double showMs) const {
    return static_cast<int64_t>(std::llround(std::clamp(showMs, 0.0, totalMs) / stepMs));
}

void Player::seekTo(double showMs, bool atOrAfter) {
    if (schedule == nullptr)
        return;
    if (!seekAsked)
        seekPressed = keyPressed;
    keyPressed = 0;
    seekAsked = true;
    seekTarget = std::max(0.0, showMs);
    if (music)
        music(false, seekTarget);
    if (seekTarget >= totalMs) {
        // Past the end the show ends as its last frame ends it.
        schedule->end();
        return;
    }
    // On the replay's step: the nearest frame, or for a scene's start its first frame.
    int64_t frame =
        atOrAfter ? static_cast<int64_t>(std::ceil(seekTarget / stepMs - 1e-9)) : frameAt(seekTarget);
    if (static_cast<double>(frame) * stepMs >= totalMs)
        frame = std::max<int64_t>(0, frame - 1);
    schedule->seek(frame);
}

void Player::setPaused(bool pause) {
    if (pause == isPaused)
        return;
    isPaused = pause;
    // The music stops with the picture and starts again from the next frame's show time.
    if (music)
        music(!pause, nextMs);
}

void Player::handle(const PlayerRequest& request) {
    // A seek not yet carried out is where the next key goes on from.
    const double from = seekAsked ? seekTarget : shownMs;
    const uint64_t back = static_cast<uint64_t>(request.sinceKeyMs / 1000.0 * performanceFrequency());
    const uint64_t now = performanceCounter();
    keyPressed = now > back ? now - back : 1;
    const int fromScene = sceneAt(from);
    switch (request.command) {
    case PlayerCommand::TogglePause:
        setPaused(!isPaused);
        return;
    case PlayerCommand::SeekBackward:
        seekTo(from - seekStepMs);
        return;
    case PlayerCommand::SeekForward:
        seekTo(from + seekStepMs);
        return;
    case PlayerCommand::PreviousScene: {
        const int target = from - sceneStartOf(fromScene) < sceneGraceMs ? fromScene - 1 : fromScene;
        seekTo(sceneStartOf(std::max(0, target)), true);
        return;
    }
    case PlayerCommand::NextScene:
        seekTo(sceneStartOf(fromScene + 1), true);
        return;
    case PlayerCommand::Top:
        seekTo(0.0);
        return;
    default:
        break;
    }
    if (!inStudio)
        return;
    switch (request.command) {
    case PlayerCommand::BarBackward:
        seekTo(from - barMs);
        break;
    case PlayerCommand::BarForward:
        seekTo(from + barMs);
        break;
    case PlayerCommand::FrameForward:
        if (isPaused)
            seekTo(from + stepMs);
        break;
    case PlayerCommand::FrameBackward:
        seekTo(from - stepMs);
        break;
    case PlayerCommand::GoToScene:
        if (request.argument >= 1 && request.argument <= static_cast<int>(starts.size()))
            seekTo(sceneStartOf(request.argument - 1), true);
        break;
    case PlayerCommand::ToggleOverlay:
        showOverlay = !showOverlay;
        break;
    case PlayerCommand::PassView:
        if (request.argument >= 0 && request.argument <= static_cast<int>(PassView::Shadow))
            view = static_cast<PassView>(request.argument);
        break;
    default:
        break;
    }
}

void Player::frameShown(int sceneIndex, double shown, double next, float duration) {
    const uint64_t now = performanceCounter();
    if (seekAsked && seekPressed != 0)
        seekTimes.push_back(counterMilliseconds(seekPressed, now));
    if (rebuildSaved >= 0.0) {
        rebuildTimes.push_back(rebuildSaved + counterMilliseconds(rebuildAt, now));
        rebuildSaved = -1.0;
    }
    seekPressed = 0;
    keyPressed = 0;
    scene = sceneIndex;
    shownMs = shown;
    nextMs = next;
    frameMs = duration;
    seekAsked = false;
    if (looping() && !isPaused && next >= loopEnd)
        seekTo(loopStart);
}

void Player::afterFrame(Scene& scene) {
    const DisplayConfig& config = DisplayConfig::instance();
    auto reload = [&] {
        if (shaders == nullptr || !shaders->poll())
            return;
        rebuildSaved = shaders->sinceChangeMs();
        rebuildAt = performanceCounter();
        // Scenes fetch their programs' locations as they start, the Engine its own now: the frame on
        // screen is drawn again, replayed from the top, with the new programs.
        scene.engine->refreshPrograms();
        keyPressed = 0;
        seekTo(shownMs);
    };
    reload();
    if (!isPaused || schedule == nullptr)
        return;
    while (isPaused && config.running && !schedule->interrupted() && !schedule->ended()) {
        presentFrame();
        reload();
        if (!dispatchOneMessage())
            sleepMilliseconds(10);
    }
    schedule->resume(scene);
}

std::string Player::report() const {
    auto line = [](const char* what, std::vector<double> times) {
        if (times.empty())
            return std::string();
        std::sort(times.begin(), times.end());
        char text[200];
        std::snprintf(text, sizeof text, "%s: %zu, median %.0f ms, longest %.0f ms\n", what, times.size(),
                      times[times.size() / 2], times.back());
        return std::string(text);
    };
    return line("seeks, key press to the first frame at the new place", seekTimes) +
           line("GLSL rebuilds, file saved to the first frame drawn with it", rebuildTimes);
}

std::string Player::shaderLog() const {
    return shaders != nullptr ? shaders->log() : std::string();
}

} // namespace halcyra
