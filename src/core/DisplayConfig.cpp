#include "core/DisplayConfig.h"

#include <cmath>

namespace halcyra {

DisplayConfig& DisplayConfig::instance() {
    static DisplayConfig config;
    return config;
}

void DisplayConfig::stop(StopReason reason) {
    if (running || stoppedBy == StopReason::None)
        stoppedBy = reason;
    running = false;
}

const char* stopReasonText(StopReason reason) {
    switch (reason) {
    case StopReason::Escape:
        return "Escape was pressed";
    case StopReason::WindowClosed:
        return "the window was closed";
    case StopReason::Quit:
        return "the program was asked to quit";
    case StopReason::DialogExit:
        return "Exit was chosen";
    case StopReason::TimeLimit:
        return "its time ran out";
    case StopReason::CaptureFailed:
        return "a frame could not be written";
    default:
        return "it ended";
    }
}

const DisplayMode* displayModeOfButton(int button) {
    for (const DisplayMode& mode : displayModes)
        if (mode.button == button)
            return &mode;
    return nullptr;
}

float DisplayConfig::pixelScaleFor(int32_t width, int32_t height, int32_t renderTargetSize, bool draft) {
    if (!pictureSized(width, height, renderTargetSize, draft))
        return 1.0f;
    return static_cast<float>(std::sqrt(static_cast<double>(width) * height) / 1024.0);
}

float DisplayConfig::screenScaleFor(int32_t width, int32_t height, int32_t renderTargetSize, bool draft) {
    if (!pictureSized(width, height, renderTargetSize, draft))
        return 1.0f;
    const double shape = static_cast<double>(width) / height;
    const DisplayMode* nearest = &displayModes[0];
    for (const DisplayMode& mode : displayModes) {
        const double distance = std::abs(std::log(shape * mode.height / mode.width));
        if (distance < std::abs(std::log(shape * nearest->height / nearest->width)))
            nearest = &mode;
    }
    return static_cast<float>(
        std::sqrt(static_cast<double>(width) * height / (nearest->width * nearest->height)));
}

} // namespace halcyra
