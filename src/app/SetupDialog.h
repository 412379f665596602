// The setup dialog: the viewer picks one of four display modes and the VSync and Fullscreen switches, then
// Run or Exit. The dialog's state and the turning of that state into DisplayConfig fields are plain data
// and functions, so they are tested without a window; runSetupDialog shows the window itself.
#pragma once

#include "core/DisplayConfig.h"

namespace halcyra {

struct GlExtensions;

// Control ids of the mode buttons, one radio group (the modes' own table, displayModes, holds them).
enum DialogControl : int {
    ModeButton4x3 = displayModes[0].button,
    ModeButton16x9 = displayModes[1].button,
    ModeButton16x9_5 = displayModes[2].button,
    ModeButton16x10 = displayModes[3].button,
    VSyncBox = 1013,
    FullscreenBox = 1006,
    RunButton = 1001,
    ExitButton = 1011,
};

struct DialogState {
    bool mode4x3 = false;    // 1020
    bool mode16x9 = false;   // 1021
    bool mode16x10 = false;  // 1022
    bool mode16x9_5 = false; // 1024
    bool vsync = false;
    bool fullscreen = false;

    // Selects one mode button and clears the others, as the radio group does.
    void selectMode(int control);
    // The selected mode button in the order Run reads them, or 0 when none is.
    int selectedMode() const;
};

enum class DialogResult { Run, Exit };

// The dialog as it opens: 4:3 selected, VSync ticked only when the swap interval can be set, Fullscreen
// ticked.
DialogState initialDialogState(const GlExtensions& extensions);

// What Run writes: the mode of the first selected button in the order 16:10, 16:9, 4:3, 16:9.5 (size and
// aspect), fullscreen, vsync, renderTargetSize 1024, sampleCount 4 with GL_ARB_multisample else 0,
// running = 1.
void applyDialogChoice(const DialogState& state, const GlExtensions& extensions, DisplayConfig& config);

// The mode button whose caption is `caption` ("4:3", "16:9", "16:9.5", "16:10"), or 0.
int modeButtonForCaption(const char* caption);

// Shows the dialog in its own window until Run or Exit (closing the window, or Escape, counts as Exit).
// Needs SDL video initialised; leaves no window or context behind.
DialogResult runSetupDialog(DialogState& state);

} // namespace halcyra
