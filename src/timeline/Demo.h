// Demo: the timeline owner. Constructing it runs the whole loading phase behind the loading screen: the
// data packet, the Engine, the four asset lists and the seven scenes, one progress step per item. play()
// runs the scenes back to back, each starting by the time the one before it overran its end, so that the
// pictures stay in step with the music, which starts with the first drawn frame.
#pragma once

#include "scenes/Scene.h"
#include "timeline/Playback.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace halcyra {

class Engine;
struct Texture;

struct PlayOptions {
    FrameSchedule* schedule = nullptr; // where the frames lie and which are drawn
    FrameObserver* observer = nullptr;
    bool music = true; // play muzak.mp3 from the first drawn frame's show time
};

class Demo {
public:
    Demo();
    virtual ~Demo();

    void play(const PlayOptions& options);

    // Constructs the seven scenes in playback order, one loading step each.
    virtual void createScenes(float step);
    // The lengths (ms) of the seven scenes in playback order, known without loading anything.
    static std::vector<float> sceneLengths();

    float progress = 0.0f;
    Texture* logo = nullptr;
    Engine* engine = nullptr;
    std::vector<std::unique_ptr<Scene>> scenes;
    int32_t sceneCount = 0;

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
    // Reads one asset list: every sound line goes to `load`, and every line read, sound or not, is one
    // step and a loading frame of `stage`.
    void readList(const char* path, size_t minimumLength, float step, int stage,
                  const std::function<void(const std::string& line)>& load);

    uint32_t logoTexture = 0;
};

} // namespace halcyra
