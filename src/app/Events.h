// Events: the window procedure of the show. Close and Escape clear DisplayConfig::running, F12 runs the
// capture handler. Event kinds the show never handles are switched off once the main window exists, so
// that the one event taken per frame is one that matters. The platform layer hands dispatchOneEvent to
// the timeline as its dispatchOneMessage.
#pragma once

union SDL_Event;

namespace halcyra {

// Switches off the event kinds the show never handles (mouse, text input and the like).
void ignoreUnhandledEvents();

// Takes at most one event that matters from the queue and hands it to windowProc; whether one was taken.
bool dispatchOneEvent();

// Close → running = 0; Escape → running = 0; F12 → the capture handler.
void windowProc(const SDL_Event& event);

// What F12 does; nothing until one is installed.
using CaptureHandler = void (*)();
void setCaptureHandler(CaptureHandler handler);

} // namespace halcyra
