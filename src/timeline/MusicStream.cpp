#include "timeline/MusicStream.h"

#include "core/Message.h"
#include "core/Platform.h"
#include "scenes/Scene.h"
#include "timeline/Demo.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace halcyra {
void MusicStream::open(const char* path) {
    Mix_Init(MIX_INIT_MP3);
    deviceOpen =
        SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
    if (!deviceOpen)
        showMessage("bass initialization failed");
    stream = deviceOpen ? Mix_LoadMUS(dataFilePath(path).c_str()) : nullptr;
    if (stream == nullptr)
        showMessage("sound file not found");
}

void MusicStream::play(double startSeconds) {
    if (stream == nullptr)
        return;
    if (startSeconds > 0.0)
        Mix_FadeInMusicPos(stream, 1, 0, startSeconds);
    else
        Mix_PlayMusic(stream, 1);
}

double MusicStream::position() const {
    if (stream == nullptr || !Mix_PlayingMusic() || Mix_PausedMusic())
        return -1.0;
    return Mix_GetMusicPosition(stream);
}

void MusicStream::stop() {
    if (deviceOpen)
        Mix_HaltMusic();
}

void MusicStream::release() {
    if (stream != nullptr)
        Mix_FreeMusic(stream);
    stream = nullptr;
    if (deviceOpen) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        deviceOpen = false;
    }
    Mix_Quit();
}

MusicSync::MusicSync() : sceneStarts(Demo::sceneStarts()) {}

void MusicSync::framePresented(int sceneIndex, const Scene& scene) {
    if (sceneIndex < 0 || sceneIndex >= static_cast<int>(sceneStarts.size()))
        return;
    // After the frame: its duration is added, so the scene's time is the show's time now.
    const double showMs = sceneStarts[static_cast<size_t>(sceneIndex)] + scene.time;
    const bool jumped = lastShowMs >= 0.0 && (showMs < lastShowMs || showMs - lastShowMs > 1000.0);
    if ((sceneIndex != lastScene || jumped) && MusicStream::exists()) {
        const double music = MusicStream::instance().position();
        if (music >= 0.0)
            samples.push_back({sceneIndex, showMs, music * 1000.0 - showMs});
    }
    lastScene = sceneIndex;
    lastShowMs = showMs;
}

std::string MusicSync::report() const {
    if (samples.empty())
        return "music against the picture: no music played\n";
    std::string text = "music against the picture (the decoder's position less the show time):\n";
    double largest = 0.0;
    char line[96];
    for (const Sample& sample : samples) {
        std::snprintf(line, sizeof line, "  scene %d at %8.3f s: %+7.1f ms\n", sample.scene + 1,
                      sample.showMs / 1000.0, sample.gapMs);
        text += line;
        largest = std::max(largest, std::abs(sample.gapMs));
    }
    std::snprintf(line, sizeof line, "  largest gap %.1f ms\n", largest);
    return text + line;
}

} // namespace halcyra
