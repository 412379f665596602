// Demo: the timeline owner. Constructing it runs the whole loading phase behind the loading screen: the
// data packet, the Engine, the four asset lists and the seven scenes, one progress step per item. play()
// runs the scenes back to back, each starting by the time the one before it overran its end, so that the
// pictures stay in step with the music, which starts with the first drawn frame.
#pragma once

#include "scenes/Scene.h"
#include "timeline/BitmapFont.h"
#include "timeline/LoadingTimes.h"
#include "timeline/Playback.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace halcyra {

class Engine;
class ImageDecodeQueue;
class ShaderWatch;
class Soundtrack;
class Transport;
struct Texture;

struct PlayOptions {
    FrameSchedule* schedule = nullptr; // where the frames lie and which are drawn
    FrameObserver* observer = nullptr;
    Soundtrack* soundtrack = nullptr; // plays muzak.mp3 from the first drawn frame's show time; may be null
    Transport* transport = nullptr;   // the viewer's keys in real-time play: pause and seeks; may be null
    RunLoopHook* hook = nullptr;      // the studio's work between frames; may be null
};

class Demo {
public:
    // `shaderFolder`, when not empty, holds GLSL sources that replace the packet's (--shaders). With a
    // `soundtrack` the music is opened and the sound device warmed up during the loading screen's last
    // pause, so that the first scene frame need not wait for it.
    explicit Demo(const std::string& shaderFolder = {}, Soundtrack* soundtrack = nullptr);
    virtual ~Demo();

    void play(const PlayOptions& options);

    // Constructs the seven scenes in playback order, one loading step each.
    virtual void createScenes(float step);
    // The lengths (ms) of the seven scenes in playback order, known without loading anything.
    static std::vector<float> sceneLengths();
    // Their names, for people: "opening", "credits", …
    static std::vector<std::string> sceneNames();
    // Where each begins in the show (ms): the lengths of those before it.
    static std::vector<double> sceneStarts();
    // The show's layout for programs and scripts (--layout): the tempo, beat and bar, the replay's frame
    // rate, every scene's name, beats, start and length, the marked moments and the display modes.
    static std::string layoutJson();

    float progress = 0.0f;
    Texture* logo = nullptr;
    Engine* engine = nullptr;
    std::vector<std::unique_ptr<Scene>> scenes;
    int32_t sceneCount = 0;
    // What loading and the way to the first scene frame took, for --stats.
    LoadingTimes loadingTimes;
    // The GLSL folder given instead of the packet's programs; null without one.
    std::unique_ptr<ShaderWatch> shaderSources;
    // Puts what the scenes share as it stands at the top of the show: the look parameters, the camera's
    // view, the lights, the Engine's focus planes. Every play, and every seek's replay, starts from it.
    void toShowTop();

protected:
    void startLoadingScreen();
    // After the last loading frame: the font goes, and the screen is multisampled again for the show.
    void finishLoadingScreen();
    void drawLoadingFrame(float step, int stage);
    // Queues the decode of every image the texture list names, to run while loading goes on; the
    // texture list's step then registers them in list order. Reports nothing: the step does.
    void prefetchTextureList();
    void readTextureList(float step);
    void readModelList(float step);
    void readCameraList(float step);
    void readLightList(float step);

private:
    // Reads one asset list: every sound line goes to `load`, and every line read, sound or not, is one
    // step and a loading frame of `stage`.
    void readList(const char* path, size_t minimumLength, float step, int stage,
                  const std::function<void(const std::string& line)>& load);
    // One of the two half-second pauses of the loading screen; `work` runs within it (the music's warm-up),
    // and the pause lasts the longer of the two.
    void pause(const std::function<void()>& work = {});
    // Runs one stage of the loading sequence and notes its time, less the loading frames and texture
    // uploads within it (they have their own lines).
    void timeStage(LoadingTimes::Stage stage, const std::function<void()>& work);

    uint32_t logoTexture = 0;
    // The status line's font, built once for all the loading frames.
    BitmapFont loadingFont;
    std::unique_ptr<ImageDecodeQueue> decodes;
};

} // namespace halcyra
