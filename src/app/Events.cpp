#include "app/Events.h"

#include "core/DisplayConfig.h"

#include <SDL.h>

namespace halcyra {
namespace {

CaptureHandler captureHandler = nullptr;

bool eventMatters(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        return true;
    case SDL_WINDOWEVENT:
        return event.window.event == SDL_WINDOWEVENT_CLOSE;
    case SDL_KEYDOWN:
        return event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_F12;
    default:
        return false;
    }
}

} // namespace

void ignoreUnhandledEvents() {
    const Uint32 ignored[] = {
        SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEWHEEL,
        SDL_KEYUP,       SDL_TEXTINPUT,       SDL_TEXTEDITING,   SDL_FINGERDOWN,
        SDL_FINGERUP,    SDL_FINGERMOTION,    SDL_JOYAXISMOTION, SDL_CONTROLLERAXISMOTION,
        SDL_SYSWMEVENT,  SDL_KEYMAPCHANGED,   SDL_DROPFILE,      SDL_DROPTEXT};
    for (Uint32 type : ignored)
        SDL_EventState(type, SDL_IGNORE);
    SDL_StopTextInput();
}

bool dispatchOneEvent() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (eventMatters(event)) {
            windowProc(event);
            return true;
        }
    }
    return false;
}

void windowProc(const SDL_Event& event) {
    DisplayConfig& config = DisplayConfig::instance();
    switch (event.type) {
    case SDL_QUIT:
        config.running = false;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            config.running = false;
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE)
            config.running = false;
        else if (event.key.keysym.sym == SDLK_F12 && captureHandler != nullptr)
            captureHandler();
        break;
    default:
        break;
    }
}

void setCaptureHandler(CaptureHandler handler) {
    captureHandler = handler;
}

} // namespace halcyra
