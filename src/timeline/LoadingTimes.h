// LoadingTimes: where the way from the program's start to the first scene frame spends its time, for
// --stats. The Demo notes the wall-clock and the CPU milliseconds (every thread of the process: the GL
// driver's and the texture decoders' too) of each stage of its loading sequence, and the memory the process
// holds after it. The loading frames
// (drawing and presenting) and the texture uploads are counted apart from the stages they fall in, so that
// each stage's figure is its own work.
#pragma once

#include "core/JsonWriter.h"

#include <cstdint>
#include <string>

namespace halcyra {

struct LoadingTimes {
    enum Stage : int {
        LoadingScreen, // the logo's decode and upload
        DataPacket,
        Engine,
        TextureList,
        ModelList,
        CameraList,
        LightList,
        Scenes,
        TextureUploads, // Engine::uploadTexture with its mipmaps, during the model list and the scenes
        LoadingFrames,  // drawing and presenting the loading screen's frames
        MusicOpen,
        FirstFrame, // the first scene's start and its first frame, up to the frame presented
        StageCount
    };
    struct Figure {
        double wall = 0.0;
        double cpu = 0.0;
    };

    Figure stages[StageCount];
    // The two pauses, apart from the stages: the texture decodes that ran on other threads meanwhile.
    Figure pauses;
    // The resident memory (MiB) when the stage last ended; the uploads and frames have none of their own.
    double residentAfter[StageCount] = {};
    int loadingFrames = 0;
    // The performance counter when the first scene frame was presented; 0 before.
    uint64_t firstFrameCounter = 0;

    // One line per stage, then the sums.
    std::string report() const;
    // The same as members of the current JSON object: "stages" (name, wallMs, cpuMs, mibAfter), "pauses",
    // "loadingFrames".
    void writeJson(JsonWriter& json) const;
    static const char* stageName(int stage);
};

} // namespace halcyra
