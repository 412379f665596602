// CameraTrack: one keyframed camera path (eye, target and roll keys) and its playback. `prepare` turns
// the keys once into dense tables, one sample per `step` ms, with the curve samplers; `advance` then walks
// the tables with the frame time and loops forever. Tracks of any other mode play their keys directly.
// Created and prepared by the 3DS camera reader, owned and driven by the Camera. Broken keys (none,
// out of time order, a step that is not positive) are reported with a message and the camera holds still.
#pragma once

#include "math/Vec3.h"

#include <cstdint>
#include <vector>

namespace halcyra {

struct CameraKey {
    int32_t time = 0; // ms
    Vec3 eye;
    Vec3 target;
    int32_t unused[4] = {0, 0, 0, 0};
};

struct RollKey {
    int32_t time = 0;  // ms
    float roll = 0.0f; // degrees
};

class CameraTrack {
public:
    enum Mode : int32_t { Tcb = 1, Linear = 2, CatmullRom = 3 };

    // Keys start at time 0 and position 0; the reader fills them before `prepare`.
    CameraTrack(int32_t mode, int32_t step, int32_t keyCount, int32_t rollKeyCount);

    // Builds the sample tables for modes 1 to 3; the reader passes 0, 0, 0.
    void prepare(float tension, float continuity, float bias);
    void rewind();
    // Moves playback on by `elapsed` ms and updates eye, target and roll.
    void advance(float elapsed);
    // Updates roll; `advance` calls it when the track has roll keys.
    void advanceRoll(float elapsed);

    int32_t keyCount() const { return static_cast<int32_t>(keys.size()); }
    int32_t rollKeyCount() const { return static_cast<int32_t>(rollKeys.size()); }

    float roll = 0.0f; // degrees
    Vec3 eye;
    Vec3 target;
    std::vector<Vec3> eyeSamples;    // stepCount + 1 once prepared
    std::vector<Vec3> targetSamples; // stepCount + 1 once prepared
    std::vector<float> rollSamples;  // stepCount + 1 once prepared, when hasRoll
    float stepTime = 0.0f;           // ms into the current step (sampled); ms since the start (keys)
    float rollTime = 0.0f;           // ms since the start, for the roll keys
    std::vector<CameraKey> keys;
    std::vector<RollKey> rollKeys;
    int32_t mode = Tcb;
    int32_t stepCount = 0;
    int32_t step = 40; // ms
    int32_t sampleIndex = 0;
    int32_t rollKeyIndex = 0;
    bool active = false;
    bool sampled = false;
    bool hasRoll = false;

private:
    void advanceSampled(float elapsed);
    void advanceKeys(float elapsed);
    void holdStill();
};

} // namespace halcyra
