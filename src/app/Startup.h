// Start-up and shut-down of the window system: SDL's video, the hidden 1 × 1 dummy window whose context
// loads the extension record, the setup dialog, the multisample choice, the main window with its context
// and screen framebuffer, and the bold monospace face of the loading screen's text. main calls initDisplay
// once before the Demo is built and shutdownDisplay at the very end; the gl tests open their contexts the
// same way.
#pragma once

#include "core/JsonWriter.h"

#include <optional>
#include <string>

namespace halcyra {

class DisplayConfig;

// What start-up is asked for: the dialog, or the mode to take without it, and any switches the command
// line sets (they preset the dialog too).
struct DisplayRequest {
    bool showDialog = true;
    std::optional<int> mode; // a mode button of the setup dialog
    std::optional<bool> fullscreen;
    std::optional<bool> vsync;
    // A picture size other than the mode's; the aspect follows it. `desktopSize` takes the desktop's own
    // resolution on the chosen display (at most 3840 × 2160, shape kept).
    std::optional<int> width;
    std::optional<int> height;
    bool desktopSize = false;
    bool draft = false; // targets of the picture's own size whatever it is
    // Offline rendering draws into a window nobody sees.
    bool hidden = false;
};

// The render-target edge for a picture of this size: 1024 up to the show's own 1280-wide modes, otherwise
// the next power of two of the larger side, so that large pictures keep their detail. Above 1024 the Engine
// gives its picture targets the picture's own size and keeps this edge for the square shadow map.
int renderTargetSizeFor(int width, int height);

// Whether the environment names where to draw: a display server (DISPLAY, WAYLAND_DISPLAY) or a video
// driver the user chose (SDL_VIDEODRIVER, offscreen included).
bool displayNamed();

// Initialises SDL's video subsystem (its offscreen driver when no display server is named in the
// environment). Returns false, with the reason in `error`, when no video driver works.
bool initVideo(const char** error);

// True when the video driver draws to no screen (SDL's offscreen or dummy driver).
bool isHeadless();

// The start-up sequence, up to a shown main window with a current context: dummy context, extensions,
// the dialog (or, without it, its state taken as if Run had been pressed), multisample choice, dummy
// destroyed, main window, the loading screen's font. Exit in the dialog ends the process with status 0.
void initDisplay(DisplayConfig& config, const DisplayRequest& request);

void createDummyContext(DisplayConfig& config);
void destroyDummyContext(DisplayConfig& config);
// The main window at the config's size (fullscreen on the desktop or a resizable window, or hidden for
// offline runs), its context with the config's swap interval, and the screen framebuffer. Where the
// picture cannot be scaled onto the window, the window keeps the mode's size instead.
void createMainWindow(DisplayConfig& config, bool hidden = false);

// The time a frame of real-time play may take: one refresh of the window's display with VSync on (60 Hz
// where the display does not say), 1/30 s without.
double frameBudgetMs(const DisplayConfig& config);

// What the terminal is told when adaptive quality is on: why (`asked`: --quality adaptive; else the
// software renderer it names) and the frame budget it keeps.
std::string adaptiveQualityLine(bool asked, double budgetMs);

// One line for --stats: the GL vendor, renderer and version of the context, and the GPU class the render
// targets follow (`forced` when --gpu-class chose it).
std::string glReport(bool forced);

// One line for --stats: the picture size played, the targets it is drawn into, and where it is shown.
std::string pictureSizeReport(const DisplayConfig& config, bool shown);
// The same two as members of the current JSON object: "gl" {"vendor", "renderer", "version", "gpuClass",
// "forced", "software"} and "picture" {"width", "height", "targetWidth", "targetHeight", "pixelScale",
// "shown" (null offline, else {"fullscreen", "width", "height"} of the drawable)}.
void writeGlJson(JsonWriter& json, bool forced);
void writePictureJson(JsonWriter& json, const DisplayConfig& config, bool shown);

// Releases the main window and SDL at the very end of a run.
void shutdownDisplay();

} // namespace halcyra
