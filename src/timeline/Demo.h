// Demo: the timeline owner. Constructing it runs the whole loading phase behind the loading screen: the
// data packet, the Engine, the four asset lists and the seven scenes, one progress step per item. play()
// starts the soundtrack and runs the scenes back to back, each starting by the time the one before it
// overran its end, so that the pictures stay in step with the music.
#pragma once

#include "timeline/LoadingTimes.h"
#include "timeline/Playback.h"
#include "timeline/Scene.h"

#include <functional>
#include <memory>
#include <vector>

namespace halcyra {

class Engine;
struct Texture;

struct PlayOptions {
    FrameClock* clock = nullptr;
    FrameObserver* observer = nullptr;
    float startTime = 0.0f; // ms into the show; earlier scenes end at once, as after a long overshoot
    bool music = true;      // play muzak.mp3
};

class Demo {
public:
    Demo();
    virtual ~Demo();

    void play(const PlayOptions& options);

    // Constructs the seven scenes in playback order, one loading step each.
    virtual void createScenes(float step);

    float progress = 0.0f;
    Texture* logo = nullptr;
    Engine* engine = nullptr;
    std::vector<std::unique_ptr<Scene>> scenes;
    int32_t sceneCount = 0;
    // What loading and the way to the first scene frame took, for --stats.
    LoadingTimes loadingTimes;

protected:
    // For tests that drive single loading steps without the whole sequence.
    struct NoLoading {};
    explicit Demo(NoLoading) {}

    void startLoadingScreen();
    void drawLoadingFrame(float step, int stage);
    void readTextureList(float step);
    void readModelList(float step);
    void readCameraList(float step);
    void readLightList(float step);

private:
    // Runs one stage of the loading sequence and notes its time, less the loading frames and texture
    // uploads within it (they have their own lines).
    void timeStage(LoadingTimes::Stage stage, const std::function<void()>& work);

    uint32_t logoTexture = 0;
};

} // namespace halcyra
