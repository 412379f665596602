// Scene: the base of the show's seven timed sections: the fields the timeline and every scene share, and
// the operations a scene implements (start, finish, update and render, and skipRender where render steps
// state that later frames read). A scene's time is the milliseconds since its own start. The timeline
// drives scenes: Scene::run, its run loop, is the timeline's (timeline/SceneRun.cpp) and is called by the
// Demo alone; it runs one scene from its start time to its end time (or until the show is stopped), frame
// by frame as the playback's FrameSchedule places them, presents every drawn frame and returns the
// overshoot that the next scene starts with.
#pragma once

#include "assets/Texture.h"
#include "render/Engine.h"

#include <cstdint>

namespace halcyra {

struct PlaybackContext;

class Scene {
public:
    virtual ~Scene() = default;

    // Runs the scene and returns time − endTime at exit (negative when the show was stopped early). Defined
    // by the timeline, which holds the schedule and observers of a playback.
    float run(float startTime, const PlaybackContext& playback);

    // Once, at the top of the first frame: build programs and per-run state, set the look parameters.
    virtual void start() = 0;
    // Once, after the loop: release the programs. Also called when start never ran.
    virtual void finish() = 0;
    // Every frame: advance animation from `time`.
    virtual void update() = 0;
    // Every frame, after update: draw the frame.
    virtual void render() = 0;
    // In place of render, for a frame that a seek replays without drawing: the part of render that later
    // frames read (a beat clock, a ramp of a look parameter), in render's order and nothing else.
    virtual void skipRender() {}
    // Shared by every scene and called by none: black fade quads over the first fadeInLength ms and the
    // last fadeOutLength ms.
    // Kept inline so that scene classes need only this header, not the timeline library.
    virtual void fadeIn() {
        engine->drawFadeQuad({0.0f, 0.0f, 0.0f, 1.0f - time / static_cast<float>(fadeInLength)});
    }
    virtual void fadeOut() {
        engine->drawFadeQuad({0.0f, 0.0f, 0.0f, 1.0f - (endTime - time) / static_cast<float>(fadeOutLength)});
    }

    float time = 0.0f;      // ms since the scene's start, including a carried-over start
    float frameTime = 0.0f; // duration of the previous frame in ms; 0 during the first frame
    // The previous frame's duration on the wall clock (ms): frameTime less the change of the picture's lead
    // over the music (timeline/Playback.h, FrameSchedule), which runs the show's clock a little faster or
    // slower for a while. What statistics and the adaptive picture measure.
    float wallFrameTime = 0.0f;
    float pictureLead = 0.0f; // ms the show's clock runs ahead of the music's
    // `time` on the show's 60 Hz grid: the show time rounded down to the 60 Hz frame it falls in, as scene
    // time. The flicker terms read it, so that the picture's flashes are those of a 60 Hz display at every
    // frame rate; at 60 frames a second it is `time` itself.
    float flickerTime = 0.0f;
    int32_t fadeInLength = 0;
    int32_t fadeOutLength = 0;
    Engine* engine = nullptr;
    TextureBinding noiseTexture;
    float noiseStrength = 0.0f;
    float endTime = 0.0f;
    int64_t counterFrequency = 0;
    int64_t previousCounter = 0;
    int64_t currentCounter = 0;
    float noiseClock = 0.0f; // ms accumulated towards the next noiseTime refresh
    float noiseTime = 0.0f;  // the noise overlay's time value, 0.00 to 9.99
    bool started = false;
    // Measured for statistics: milliseconds spent in the last update (scene logic, no GL calls).
    float updateTime = 0.0f;
    // Set by the run loop for a frame it steps without drawing (a seek's replay): update may then leave out
    // what only poses the picture from the time alone (models, the metaball surface), since the next drawn
    // frame poses it again; whatever later frames read (clocks, camera paths, ramps) it must still step.
    bool replaying = false;
};

} // namespace halcyra
