#include "timeline/MusicStream.h"

#include "core/Message.h"
#include "core/Platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace halcyra {
namespace {

// Whether SDL's sound goes through a sound server (PulseAudio, or PipeWire, itself or through its PulseAudio
// server) rather than to the device itself.
bool soundServer() {
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver != nullptr &&
           (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0);
}

// The latency of the sink a sound server plays to (ms), as PulseAudio (or PipeWire's PulseAudio server)
// reports it for its default sink; 0 where there is no such server or it does not answer within half a
// second. libpulse is opened when it is there (SDL's own PulseAudio output uses it): nothing links it.
double serverSinkLatencyMs() {
    if (!soundServer())
        return 0.0;
    void* library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return 0.0;
    const auto symbol = [&](const char* name) { return dlsym(library, name); };
    const auto mainloopNew = reinterpret_cast<decltype(&pa_mainloop_new)>(symbol("pa_mainloop_new"));
    const auto mainloopApi = reinterpret_cast<decltype(&pa_mainloop_get_api)>(symbol("pa_mainloop_get_api"));
    const auto iterate = reinterpret_cast<decltype(&pa_mainloop_iterate)>(symbol("pa_mainloop_iterate"));
    const auto mainloopFree = reinterpret_cast<decltype(&pa_mainloop_free)>(symbol("pa_mainloop_free"));
    const auto contextNew = reinterpret_cast<decltype(&pa_context_new)>(symbol("pa_context_new"));
    const auto connect = reinterpret_cast<decltype(&pa_context_connect)>(symbol("pa_context_connect"));
    const auto state = reinterpret_cast<decltype(&pa_context_get_state)>(symbol("pa_context_get_state"));
    const auto sinkInfo = reinterpret_cast<decltype(&pa_context_get_sink_info_by_name)>(
        symbol("pa_context_get_sink_info_by_name"));
    const auto operationState =
        reinterpret_cast<decltype(&pa_operation_get_state)>(symbol("pa_operation_get_state"));
    const auto operationUnref = reinterpret_cast<decltype(&pa_operation_unref)>(symbol("pa_operation_unref"));
    const auto disconnect =
        reinterpret_cast<decltype(&pa_context_disconnect)>(symbol("pa_context_disconnect"));
    const auto contextUnref = reinterpret_cast<decltype(&pa_context_unref)>(symbol("pa_context_unref"));
    double latencyMs = 0.0;
    if (mainloopNew && mainloopApi && iterate && mainloopFree && contextNew && connect && state && sinkInfo &&
        operationState && operationUnref && disconnect && contextUnref) {
        pa_mainloop* loop = mainloopNew();
        pa_context* context = loop != nullptr ? contextNew(mainloopApi(loop), "halcyra") : nullptr;
        const uint64_t deadline = SDL_GetTicks64() + 500;
        auto turn = [&] { return SDL_GetTicks64() < deadline && iterate(loop, 0, nullptr) >= 0; };
        if (context != nullptr && connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            while (state(context) != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(state(context)) && turn())
                SDL_Delay(1);
            if (state(context) == PA_CONTEXT_READY) {
                pa_operation* query = sinkInfo(
                    context, "@DEFAULT_SINK@",
                    [](pa_context*, const pa_sink_info* info, int last, void* result) {
                        if (last == 0 && info != nullptr)
                            *static_cast<double*>(result) =
                                static_cast<double>(std::max(info->latency, info->configured_latency)) /
                                1000.0;
                    },
                    &latencyMs);
                while (query != nullptr && operationState(query) == PA_OPERATION_RUNNING && turn())
                    SDL_Delay(1);
                if (query != nullptr)
                    operationUnref(query);
            }
            disconnect(context);
        }
        if (context != nullptr)
            contextUnref(context);
        if (loop != nullptr)
            mainloopFree(loop);
    }
    dlclose(library);
    return latencyMs;
}

// The device buffer's frames: HALCYRA_AUDIO_FRAMES when it names a power of two from 256 to 16384. A
// sound server gets twice the device's: it wakes its clients on its own cycle (PipeWire's can be 5 ms when
// another client asks for low latency), and a busy show that misses a cycle with 23 ms in hand drops sound
// out, which is heard as a click and leaves the music behind for good.
int deviceBufferFrames() {
    const char* asked = std::getenv("HALCYRA_AUDIO_FRAMES");
    const int frames = asked != nullptr ? std::atoi(asked) : 0;
    if (frames >= 256 && frames <= 16384 && (frames & (frames - 1)) == 0)
        return frames;
    return soundServer() ? 2 * MusicStream::bufferFrames : MusicStream::bufferFrames;
}

} // namespace

void MusicStream::open(const char* path) {
    Mix_Init(MIX_INIT_MP3);
    deviceOpen = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    frames = deviceBufferFrames();
    deviceOpen = deviceOpen && Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, frames) == 0;
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
        // How far the decoder runs ahead of the clock once it moves: what the sound path buffers.
        uint64_t moved = 0;
        double lead = 0.0;
        for (double now = position(); now <= begun + ahead && SDL_GetTicks64() < deadline; now = position()) {
            if (now > begun) {
                const uint64_t ticks = SDL_GetPerformanceCounter();
                if (moved == 0)
                    moved = ticks;
                const double clock = static_cast<double>(ticks - moved) / SDL_GetPerformanceFrequency();
                lead = std::max(lead, (now - begun - clock) * 1000.0);
            }
            SDL_Delay(1);
        }
        if (first)
            latency = std::max(1000.0 * frames / 44100.0, lead) + serverSinkLatencyMs();
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

} // namespace halcyra
