#include "timeline/Transport.h"

#include "core/Platform.h"
#include "timeline/Playback.h"
#include "timeline/Soundtrack.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace halcyra {

Transport::Transport(std::vector<float> sceneLengths, bool studio) : inStudio(studio) {
    for (const float length : sceneLengths) {
        starts.push_back(totalMs);
        totalMs += length;
    }
}

void Transport::loop(double fromMs, double toMs) {
    loopStart = std::clamp(fromMs, 0.0, totalMs);
    loopEnd = std::clamp(toMs, 0.0, totalMs);
}

void Transport::attach(FrameSchedule* playbackSchedule, Soundtrack* music) {
    schedule = playbackSchedule;
    soundtrack = music;
}

double Transport::sceneStartOf(int index) const {
    return index >= 0 && index < static_cast<int>(starts.size()) ? starts[static_cast<size_t>(index)]
                                                                 : totalMs;
}

int Transport::sceneAt(double showMs) const {
    int index = 0;
    while (index + 1 < static_cast<int>(starts.size()) && showMs >= starts[static_cast<size_t>(index) + 1])
        ++index;
    return showMs < totalMs ? index : static_cast<int>(starts.size());
}

int64_t Transport::frameAt(double showMs, bool atOrAfter) const {
    const double steps = std::clamp(showMs, 0.0, totalMs) * stepRate / 1000.0;
    // A scene's first frame is the first one at or after its start; any other place its nearest frame.
    int64_t frame = atOrAfter ? static_cast<int64_t>(std::ceil(steps - 1e-9)) : std::llround(steps);
    if (static_cast<double>(frame) * 1000.0 / stepRate >= totalMs)
        frame = std::max<int64_t>(0, frame - 1);
    return frame;
}

void Transport::seekTo(double showMs, bool atOrAfter) {
    if (schedule == nullptr)
        return;
    if (!seekAsked)
        seekPressed = keyPressed;
    keyPressed = 0;
    seekAsked = true;
    seekTarget = std::max(0.0, showMs);
    if (soundtrack != nullptr)
        soundtrack->stop();
    if (seekTarget >= totalMs) {
        // Past the end the show ends as its last frame ends it.
        schedule->end();
        return;
    }
    schedule->seek(frameAt(seekTarget, atOrAfter));
}

void Transport::redraw() {
    keyPressed = 0;
    seekTo(shownMs);
}

void Transport::setPaused(bool pause) {
    if (pause == isPaused)
        return;
    isPaused = pause;
    if (soundtrack == nullptr)
        return;
    // The music stops with the picture and starts again from the next frame's show time.
    if (pause)
        soundtrack->stop();
    else
        soundtrack->start(nextMs);
}

void Transport::handle(const PlayerRequest& request) {
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
            seekTo(from + 1000.0 / stepRate);
        break;
    case PlayerCommand::FrameBackward:
        seekTo(from - 1000.0 / stepRate);
        break;
    case PlayerCommand::GoToScene:
        if (request.argument >= 1 && request.argument <= static_cast<int>(starts.size()))
            seekTo(sceneStartOf(request.argument - 1), true);
        break;
    default:
        break;
    }
}

void Transport::frameShown(int sceneIndex, double shown, double next, float duration) {
    if (seekAsked && seekPressed != 0)
        seekTimes.push_back(counterMilliseconds(seekPressed, performanceCounter()));
    seekPressed = 0;
    keyPressed = 0;
    ++shownFrames;
    scene = sceneIndex;
    shownMs = shown;
    nextMs = next;
    frameMs = duration;
    seekAsked = false;
    if (looping() && !isPaused && next >= loopEnd)
        seekTo(loopStart);
}

std::string Transport::report() const {
    return latencyLine("seeks, key press to the first frame at the new place", seekTimes);
}

void Transport::writeJson(JsonWriter& json) const {
    writeLatencies(json, "seeksMs", seekTimes);
}

} // namespace halcyra
