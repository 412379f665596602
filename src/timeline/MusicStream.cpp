#include "timeline/MusicStream.h"

#include "core/Message.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <memory>

namespace halcyra {
void MusicStream::open(const char* path) {
    Mix_Init(MIX_INIT_MP3);
    deviceOpen =
        SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
    if (!deviceOpen)
        showMessage("bass initialization failed");
    stream = deviceOpen ? Mix_LoadMUS(path) : nullptr;
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

} // namespace halcyra
