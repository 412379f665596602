// Player: what a viewer does to the playing show between frames. Everyone can pause, seek 5 s, go to a
// scene's start or to the top; the studio (--studio, for the people who make the show) also steps bars and
// single frames, jumps to scenes by number, loops a stretch, switches the overlay and the pass views, and
// rebuilds the GLSL programs whose files change. The platform layer turns keys into PlayerRequests, each
// key one message of the run loop like Escape; the run loop tells the player every frame it shows and lets
// it hold the picture while paused. Seeks land on the 60 Hz step the FrameSchedule replays on, so a seek
// shows the frame that playback from the top (and a capture at 60 fps) shows there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace halcyra {

class FrameSchedule;
class Scene;
class ShaderWatch;

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
    PassView,      // argument: one of the PassView values
};

struct PlayerRequest {
    PlayerCommand command = PlayerCommand::TogglePause;
    int argument = 0;
    double sinceKeyMs = 0.0; // how long ago the key was pressed, when the request is handled
};

// What the studio shows in the window: the finished picture or one of the passes' targets.
enum class PassView { Picture = 0, Hdr = 1, Bright = 2, Blur = 3, Shadow = 4 };

class Player {
public:
    static constexpr double seekStepMs = 5000.0;
    static constexpr double barMs = 1804.5; // 133 BPM, four beats
    static constexpr double beatMs = barMs / 4.0;
    static constexpr double stepMs = 1000.0 / 60.0;
    static constexpr double sceneGraceMs = 2000.0;

    // `sceneLengths` and `sceneNames` in playback order.
    Player(std::vector<float> sceneLengths, std::vector<std::string> sceneNames, bool studio);
    ~Player();

    // Studio: play [fromMs, toMs) again and again.
    void loop(double fromMs, double toMs);
    // Studio: rebuild the programs whose files change in the folder `watch` reads (it stays the caller's).
    void watchShaders(ShaderWatch* watch);

    // The event dispatch's side: one request; several for keys pressed faster than frames are drawn, which
    // fold into one seek.
    void handle(const PlayerRequest& request);

    // The playback's side. `attach` hands over the schedule to seek on and what starts and stops the music
    // (at a show time in ms).
    void attach(FrameSchedule* schedule, std::function<void(bool play, double showMs)> music);
    // Every drawn frame: the scene, the show time it showed and the show time of the next frame.
    void frameShown(int sceneIndex, double shownMs, double nextMs, float frameMs);
    // After a drawn frame's message: holds the picture while paused (presenting it and taking messages),
    // then restarts the scene's clock. Also rebuilds changed programs.
    void afterFrame(Scene& scene);
    // Whether the music should play when the show's frames begin again.
    bool paused() const { return isPaused; }

    // What the studio overlay and the presentation show.
    bool studio() const { return inStudio; }
    bool overlayShown() const { return inStudio && showOverlay; }
    PassView passView() const { return inStudio ? view : PassView::Picture; }
    int sceneIndex() const { return scene; }
    const std::string& sceneName() const;
    double shownTime() const { return shownMs; }
    float frameTime() const { return frameMs; }
    bool looping() const { return loopEnd > loopStart; }
    double loopFrom() const { return loopStart; }
    double loopTo() const { return loopEnd; }
    // The compiler's log of the last program that failed to build from the watched folder; empty when
    // every program built.
    std::string shaderLog() const;

    // The show's length, and where a seek to `showMs` lands: the replay step's frame, clamped to the show.
    double showLength() const { return totalMs; }
    int64_t frameAt(double showMs) const;

    // For --stats: how long seeks took from the key press to the first frame at the new place, and program
    // rebuilds from the file's saving to the first frame drawn with it (ms each).
    std::string report() const;

private:
    void seekTo(double showMs, bool atOrAfter = false);
    double sceneStartOf(int index) const;
    int sceneAt(double showMs) const;
    void setPaused(bool paused);

    std::vector<double> starts; // each scene's start in the show (ms)
    std::vector<std::string> names;
    double totalMs = 0.0;
    bool inStudio = false;
    FrameSchedule* schedule = nullptr;
    std::function<void(bool, double)> music;

    bool isPaused = false;
    bool seekAsked = false;
    double seekTarget = 0.0; // the show time a pending seek goes to; further keys go on from it
    int scene = 0;
    double shownMs = 0.0;
    double nextMs = 0.0;
    float frameMs = 0.0f;
    bool showOverlay = true;
    PassView view = PassView::Picture;
    double loopStart = 0.0;
    double loopEnd = 0.0;
    ShaderWatch* shaders = nullptr;
    uint64_t keyPressed = 0;    // the counter when the key being handled was pressed; 0: no key
    uint64_t seekPressed = 0;   // the same for the seek under way
    double rebuildSaved = -1.0; // ms from a rebuilt file's saving to the rebuild; negative: none under way
    uint64_t rebuildAt = 0;
    std::vector<double> seekTimes;
    std::vector<double> rebuildTimes;
};

} // namespace halcyra
