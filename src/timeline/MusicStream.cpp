#include "timeline/MusicStream.h"

#include "core/Message.h"
#include "core/Platform.h"
#include "scenes/Scene.h"
#include "timeline/Demo.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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
    // A sound server may hold a new stream back behind sound it has already rendered (an idle PulseAudio
    // null sink runs up to 2 s ahead): the first buffers are taken, then the decoder stands still until
    // the device plays. So the first start plays muted until the device has taken steadySeconds of music,
    // then begins again at full volume; later starts (seeks, the end of a pause) find the device playing
    // and wait for its next buffer only. Returning then lets the picture's clock start with the music.
    const bool first = !deviceSteady;
    if (first)
        Mix_VolumeMusic(0);
    if (startSeconds > 0.0)
        Mix_FadeInMusicPos(stream, 1, 0, startSeconds);
    else
        Mix_PlayMusic(stream, 1);
    const double begun = position();
    if (begun >= 0.0) {
        const double ahead = first ? steadySeconds : 0.0;
        const uint64_t deadline = SDL_GetTicks64() + static_cast<uint64_t>(flowWaitMs);
        while (position() <= begun + ahead && SDL_GetTicks64() < deadline)
            SDL_Delay(1);
    }
    if (first) {
        // Paused in between, the mixer's next buffer holds the start at full volume, never a part of it.
        Mix_PauseMusic();
        Mix_SetMusicPosition(startSeconds);
        Mix_VolumeMusic(MIX_MAX_VOLUME);
        Mix_ResumeMusic();
        deviceSteady = true;
    }
}

void MusicStream::warmUp() {
    if (stream == nullptr || deviceSteady)
        return;
    play(0.0);
    // The device goes on taking the mixer's silence, so the show's first start is picked up at once.
    Mix_HaltMusic();
}

double MusicStream::position() const {
    if (stream == nullptr || !Mix_PlayingMusic() || Mix_PausedMusic())
        return -1.0;
    return Mix_GetMusicPosition(stream);
}

void MusicStream::moveTo(double seconds) {
    if (stream != nullptr && Mix_PlayingMusic())
        Mix_SetMusicPosition(seconds);
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
        deviceSteady = false;
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
    const bool marked = sceneIndex != lastScene || jumped;
    lastScene = sceneIndex;
    lastShowMs = showMs;
    if (!MusicStream::exists() || (!marked && showMs - lastReadMs < 100.0))
        return;
    lastReadMs = showMs;
    const double music = MusicStream::instance().position();
    if (music < 0.0)
        return;
    const Sample sample{sceneIndex, showMs, music * 1000.0 - showMs};
    if (marked)
        samples.push_back(sample);
    if (largest.scene < 0 || std::abs(sample.gapMs) > std::abs(largest.gapMs))
        largest = sample;
    last = sample;
    // Moved while the device stands still, the music would only stand still elsewhere: it is moved once
    // the device takes sound again.
    const bool moving = music != lastMusic;
    lastMusic = music;
    if (std::abs(sample.gapMs) > maxGapMs && moving) {
        MusicStream::instance().moveTo(showMs / 1000.0);
        lastMusic = showMs / 1000.0;
        ++moves;
    }
}

std::string MusicSync::report() const {
    if (samples.empty())
        return "music against the picture: no music played\n";
    std::string text = "music against the picture (the decoder's position less the show time):\n";
    char line[96];
    for (const Sample& sample : samples) {
        std::snprintf(line, sizeof line, "  scene %d at %8.3f s: %+7.1f ms\n", sample.scene + 1,
                      sample.showMs / 1000.0, sample.gapMs);
        text += line;
    }
    std::snprintf(line, sizeof line, "  at the end, %8.3f s: %+7.1f ms\n", last.showMs / 1000.0, last.gapMs);
    text += line;
    std::snprintf(line, sizeof line, "  largest gap %.1f ms, at %.3f s\n", std::abs(largest.gapMs),
                  largest.showMs / 1000.0);
    text += line;
    std::snprintf(line, sizeof line, "  moved to the picture's time (a gap over %.0f ms): %d\n", maxGapMs,
                  moves);
    return text + line;
}

} // namespace halcyra
