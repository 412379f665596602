#include "app/Events.h"

#include "app/Platform.h"
#include "core/DisplayConfig.h"

#include <SDL.h>

namespace halcyra {
namespace {

std::optional<PlayerRequest> playerRequest(const SDL_Event& event) {
    const PlatformSettings& settings = platformSettings();
    if (event.type != SDL_KEYDOWN || !settings.player)
        return std::nullopt;
    std::optional<PlayerRequest> request = playerRequestFor(event.key, settings.studioKeys);
    if (request)
        request->sinceKeyMs = static_cast<double>(SDL_GetTicks() - event.key.timestamp);
    return request;
}

bool eventMatters(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        return true;
    case SDL_WINDOWEVENT:
        return event.window.event == SDL_WINDOWEVENT_CLOSE;
    case SDL_KEYDOWN:
        return event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_F12 ||
               playerRequest(event).has_value();
    default:
        return false;
    }
}

// Folds the seek keys queued behind the one just handled into it, in their order, up to the first other
// event that matters, which stays queued with everything after it.
int foldQueuedSeek(void* userdata, SDL_Event* event) {
    bool& open = *static_cast<bool*>(userdata);
    if (!open || !eventMatters(*event))
        return 1;
    const std::optional<PlayerRequest> request = playerRequest(*event);
    if (!request || !isSeek(*request)) {
        open = false;
        return 1;
    }
    platformSettings().player(*request);
    return 0;
}

} // namespace

std::optional<PlayerRequest> playerRequestFor(const SDL_KeyboardEvent& key, bool studio) {
    const SDL_Keycode sym = key.keysym.sym;
    const bool shift = (key.keysym.mod & KMOD_SHIFT) != 0;
    // Switches toggle once per press; a held seek key repeats.
    const bool repeat = key.repeat != 0;
    switch (sym) {
    case SDLK_SPACE:
        return repeat ? std::nullopt : std::optional(PlayerRequest{PlayerCommand::TogglePause});
    case SDLK_LEFT:
        return PlayerRequest{studio && shift ? PlayerCommand::BarBackward : PlayerCommand::SeekBackward};
    case SDLK_RIGHT:
        return PlayerRequest{studio && shift ? PlayerCommand::BarForward : PlayerCommand::SeekForward};
    case SDLK_PAGEUP:
        return PlayerRequest{PlayerCommand::PreviousScene};
    case SDLK_PAGEDOWN:
        return PlayerRequest{PlayerCommand::NextScene};
    case SDLK_HOME:
        return PlayerRequest{PlayerCommand::Top};
    default:
        break;
    }
    if (!studio)
        return std::nullopt;
    if (sym >= SDLK_1 && sym <= SDLK_7)
        return PlayerRequest{PlayerCommand::GoToScene, static_cast<int>(sym - SDLK_1) + 1};
    if (sym == SDLK_PERIOD)
        return PlayerRequest{PlayerCommand::FrameForward};
    if (sym == SDLK_COMMA)
        return PlayerRequest{PlayerCommand::FrameBackward};
    if (repeat)
        return std::nullopt;
    if (sym == SDLK_TAB)
        return PlayerRequest{PlayerCommand::ToggleOverlay};
    if (sym >= SDLK_F1 && sym <= SDLK_F5)
        return PlayerRequest{PlayerCommand::PassView, static_cast<int>(sym - SDLK_F1)};
    return std::nullopt;
}

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
    // Pumped and taken one by one: SDL_PollEvent ends a pass at the marker it leaves in the queue, which
    // would hold back an event that arrived after a pass ended early.
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
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
        config.stop(StopReason::Quit);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            config.stop(StopReason::WindowClosed);
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
            config.stop(StopReason::Escape);
        } else if (event.key.keysym.sym == SDLK_F12) {
            if (platformSettings().capture != nullptr)
                platformSettings().capture();
        } else if (const std::optional<PlayerRequest> request = playerRequest(event)) {
            platformSettings().player(*request);
            if (isSeek(*request)) {
                bool open = true;
                SDL_FilterEvents(foldQueuedSeek, &open);
            }
        }
        break;
    default:
        break;
    }
}

} // namespace halcyra
