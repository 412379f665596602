// Transport: the one owner of where the show is played from and whether it plays: play, pause, seek, loop and
// stepping. Everyone can pause, seek 5 s, go to a scene's start or to the top; the studio (--studio) also
// steps bars and single frames, jumps to scenes by number and loops a stretch. The platform layer turns keys
// into PlayerRequests, each key one message of the run loop like Escape; the run loop tells the transport
// every frame it shows and holds the picture while it is paused (a state of the one loop). Seeks land on the
// 60 Hz step the FrameSchedule replays on, so a seek shows the frame that playback from the top (and a
// capture at 60 fps) shows there; the soundtrack stops and starts with the picture.
#pragma once

#include "core/JsonWriter.h"
#include "show/ShowLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

class FrameSchedule;
class Soundtrack;

enum class PlayerCommand {
    TogglePause,
    SeekBackward, // 5 s
    SeekForward,
    PreviousScene, // the start of this scene, or of the one before within its first 2 s
    NextScene,
    Top,
    // The studio's.
    BarBackward, // one bar of the music
    BarForward,
    FrameForward, // one frame of 1/60 s on, while paused (a seek, like every step)
    FrameBackward,
    GoToScene,     // argument: 1 to 7
    ToggleOverlay, // Tab
    PassView,      // argument: the view, 0 (the picture) to 4
};

struct PlayerRequest {
    PlayerCommand command = PlayerCommand::TogglePause;
    int argument = 0;
    double sinceKeyMs = 0.0; // how long ago the key was pressed, when the request is handled
};

// Whether a request moves the show (and keys queued behind it fold into one seek).
inline bool isSeek(const PlayerRequest& request) {
    return request.command != PlayerCommand::TogglePause && request.command != PlayerCommand::ToggleOverlay &&
           request.command != PlayerCommand::PassView;
}

class Transport {
public:
    static constexpr double seekStepMs = 5000.0;
    static constexpr double barMs = show::barMs;
    static constexpr double beatMs = show::beatMs;
    static constexpr int stepRate = show::gridRate; // the replay's step, on which every seek lands
    static constexpr double sceneGraceMs = 2000.0;

    // `sceneLengths` in playback order; `studio` also takes the studio's steps and loop.
    Transport(std::vector<float> sceneLengths, bool studio);

    // Studio: play [fromMs, toMs) again and again.
    void loop(double fromMs, double toMs);

    // The event dispatch's side: one request; several for keys pressed faster than frames are drawn, which
    // fold into one seek. Requests that are not the transport's (the studio's views) are left alone.
    void handle(const PlayerRequest& request);

    // The playback's side. `attach` hands over the schedule to seek on and the soundtrack that plays with it
    // (either may be null).
    void attach(FrameSchedule* schedule, Soundtrack* soundtrack);
    // Every drawn frame: the scene, the show time it showed and the show time of the next frame.
    void frameShown(int sceneIndex, double shownMs, double nextMs, float frameMs);
    // While paused the run loop holds the picture: it presents the frame again and takes messages.
    bool paused() const { return isPaused; }
    // Draws the frame on screen again, replayed from the top (after its programs were built anew).
    void redraw();

    bool studio() const { return inStudio; }
    int sceneIndex() const { return scene; }
    int64_t framesShown() const { return shownFrames; }
    double shownTime() const { return shownMs; }
    float frameTime() const { return frameMs; }
    bool looping() const { return loopEnd > loopStart; }
    double loopFrom() const { return loopStart; }
    double loopTo() const { return loopEnd; }

    // The show's length, and where a seek to `showMs` lands: the replay step's nearest frame, clamped to the
    // show; a scene's start (`atOrAfter`) lands on the scene's first frame.
    double showLength() const { return totalMs; }
    int64_t frameAt(double showMs, bool atOrAfter = false) const;

    // For --stats: how long seeks took from the key press to the first frame at the new place (ms each).
    std::string report() const;
    void writeJson(JsonWriter& json) const;

private:
    void seekTo(double showMs, bool atOrAfter = false);
    double sceneStartOf(int index) const;
    int sceneAt(double showMs) const;
    void setPaused(bool paused);

    std::vector<double> starts; // each scene's start in the show (ms)
    double totalMs = 0.0;
    bool inStudio = false;
    FrameSchedule* schedule = nullptr;
    Soundtrack* soundtrack = nullptr;

    bool isPaused = false;
    bool seekAsked = false;
    double seekTarget = 0.0; // the show time a pending seek goes to; further keys go on from it
    int scene = 0;
    double shownMs = 0.0;
    double nextMs = 0.0;
    float frameMs = 0.0f;
    int64_t shownFrames = 0;
    double loopStart = 0.0;
    double loopEnd = 0.0;
    uint64_t keyPressed = 0;  // the counter when the key being handled was pressed; 0: no key
    uint64_t seekPressed = 0; // the same for the seek under way
    std::vector<double> seekTimes;
};

} // namespace halcyra
