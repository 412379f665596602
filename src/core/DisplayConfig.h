// DisplayConfig: the chosen display mode, the window and context handles, and the look parameters that
// scenes write in their start and the frame reads back (a shared blackboard; a value stays until a scene
// writes it again). The setup dialog, or the command line in a headless run, fills the mode fields; the
// platform layer fills the handles and the font file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct SDL_Window;

namespace halcyra {

// The pixel format asked of every window: 32-bit colour, 24-bit depth, no stencil, double-buffered.
struct PixelFormatDescriptor {
    int alphaBits = 1;
    int depthBits = 24;
    int stencilBits = 0;
    bool doubleBuffer = true;
};

// The show's four display modes, in the setup dialog's order from left to right: its mode button, the
// caption the dialog and the command line use, the picture's size and the projection's aspect.
struct DisplayMode {
    int32_t button;
    const char* caption;
    int32_t width;
    int32_t height;
    float aspect;
};
inline constexpr std::array<DisplayMode, 4> displayModes{{{1020, "4:3", 1024, 768, 4.0f / 3.0f},
                                                          {1021, "16:9", 1280, 720, 16.0f / 9.0f},
                                                          {1024, "16:9.5", 1280, 768, 5.0f / 3.0f},
                                                          {1022, "16:10", 1280, 800, 1.6f}}};
// The mode of a mode button; null for any other control.
const DisplayMode* displayModeOfButton(int button);

// Why the show stopped before its end.
enum class StopReason {
    None,          // it goes on, or ended at its end
    Escape,        // the viewer pressed Escape
    WindowClosed,  // the viewer closed the window
    Quit,          // the session asked the program to quit (an interrupt, a logout)
    DialogExit,    // Exit in the setup dialog
    TimeLimit,     // --duration ran out
    CaptureFailed, // a frame of an offline render could not be written
};
const char* stopReasonText(StopReason reason);

// The look parameters: what the scenes set in their start (and some every frame) and the frame's passes
// read. A value stays until a scene writes it again; at the top of the show they are these.
struct LookParameters {
    float hdrExposure = 0.4f;
    float hdrRange = 16.0f;
    float hdrBlurStrength = 0.8f;
    float lightLevel = 1.0f;
    float ambientLevel = 0.1f;
    int32_t hdrEnabled = 0;
};

class DisplayConfig : public LookParameters {
public:
    static DisplayConfig& instance();

    // The look parameters as they stand at the top of the show, before any scene wrote them.
    void resetLook() { static_cast<LookParameters&>(*this) = LookParameters{}; }

    // The one way the show is stopped early: clears `running` and keeps the reason of the stop that
    // cleared it, so that there is one place to read when a run ends.
    void stop(StopReason reason);
    StopReason stopReason() const { return stoppedBy; }

    // Display mode, written by the setup dialog's Run.
    int32_t width = 0;
    int32_t height = 0;
    int32_t sampleCount = 0;      // 4 when GL_ARB_multisample is offered, else 0
    int32_t vsync = 0;            // handed to the swap interval
    int32_t renderTargetSize = 0; // edge of the Engine's square render targets; 1024 (larger: see Engine)
    float aspect = 0.0f;          // projection aspect ratio
    bool fullscreen = false;
    bool draft = false; // --draft: targets of the picture's own size at every size (fast small pictures)
    // Adaptive quality drew the picture smaller than its own size: width × height are the size drawn, and
    // the targets take it, as a draft's do.
    bool reduced = false;
    bool gentle = false;  // --gentle: the flicker turned down and the white screen faded in, not cut
    bool running = false; // cleared by stop(): Escape, closing the window, Exit and the like

    // Pictures beyond the show's modes (a render target edge above 1024), and every picture of a draft,
    // draw into targets of the picture's own size rather than square ones.
    bool pictureSizedTargets() const {
        return pictureSized(width, height, renderTargetSize, draft || reduced);
    }
    static bool pictureSized(int32_t width, int32_t height, int32_t renderTargetSize, bool draft = false) {
        return (renderTargetSize > 1024 || draft) && width > 0 && height > 0;
    }
    // What the sizes the show gives in pixels (points, lines, grain, text) are multiplied by, so that every
    // picture size shows the same picture: 1 at the show's modes, whose scenes draw into 1024 × 1024
    // targets; beyond them the picture-sized targets against those, area for area (a cloud of points keeps
    // its brightness, a line its weight).
    float pixelScale() const { return pixelScaleFor(width, height, renderTargetSize, draft || reduced); }
    // The same for what is drawn at the picture's own pixels (the grain over the finished frame, the
    // loading screen's text): 1 at the show's modes, beyond them the picture against the mode of the
    // nearest shape, area for area, so that 1920 × 1080 is 1.5 times 1280 × 720.
    float screenScale() const { return screenScaleFor(width, height, renderTargetSize, draft || reduced); }
    static float pixelScaleFor(int32_t width, int32_t height, int32_t renderTargetSize, bool draft = false);
    static float screenScaleFor(int32_t width, int32_t height, int32_t renderTargetSize, bool draft = false);

    // Window system handles. `window` is the current window: the hidden dummy during start-up, then the
    // main window. `screenFramebuffer` is the framebuffer the show draws into and presents from; it stands
    // for the window's own framebuffer everywhere the show binds "framebuffer 0".
    SDL_Window* window = nullptr;
    void* glContext = nullptr;
    uint32_t screenFramebuffer = 0;
    int32_t screenSamples = 0; // samples of the screen framebuffer actually in use (0 or 4)
    int32_t display = 0;       // monitor index for the main window
    PixelFormatDescriptor pixelFormatDescriptor;
    // The face the loading screen's bitmap font is made from (a bold monospace font file of the machine);
    // empty when there is none, and the loading screen then shows no text.
    std::string fontFile;

private:
    DisplayConfig() = default;

    StopReason stoppedBy = StopReason::None;
};

} // namespace halcyra
