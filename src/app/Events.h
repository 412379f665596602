// Events: the window procedure of the show. Close and Escape clear DisplayConfig::running, F12 runs the
// capture handler, and the player's keys (Space, the arrows, Page Up and Down, Home; in the studio also
// Shift with the arrows, comma and period, 1 to 7, Tab and F1 to F5) go to the player handler. Event kinds
// the show never handles are switched off once the main window exists, so that the one event taken per
// frame is one that matters. Seek keys already queued behind a seek key are taken with it as one message,
// so that a held key never queues up replays. The platform layer hands dispatchOneEvent to the timeline as
// its dispatchOneMessage.
#pragma once

#include "timeline/Transport.h"

#include <optional>

union SDL_Event;
struct SDL_KeyboardEvent;

namespace halcyra {

// Switches off the event kinds the show never handles (mouse, text input and the like).
void ignoreUnhandledEvents();

// Takes at most one event that matters from the queue and hands it to windowProc; whether one was taken.
bool dispatchOneEvent();

// Close → running = 0; Escape → running = 0; F12 → the capture handler; the player's keys → the player
// handler (both from PlatformSettings).
void windowProc(const SDL_Event& event);

// The request a key makes, when it makes one (`studio`: with the studio's keys).
std::optional<PlayerRequest> playerRequestFor(const SDL_KeyboardEvent& key, bool studio);

} // namespace halcyra
