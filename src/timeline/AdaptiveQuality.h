// Adaptive quality: in real-time play on a machine that cannot draw the whole picture within a frame's time
// (a software renderer), the picture is drawn smaller and scaled up to the window, and grown back as soon as
// there is room. AdaptiveQuality decides the picture's scale from the frames' times; AdaptivePicture watches
// the played frames and has the platform draw the next ones at the size it decides. The same show at a
// smaller size is the same picture, softer: the scenes draw into targets of the picture's size, and what they
// give in pixels scales with it. Changes are calm: at most about one a second, in steps of a fifth of the
// size or less (larger ones only in the first second after a cut, which hides them), never below half the
// width and height, and never on the title card or on the way to the white screen, where a change would show.
// Capture never adapts: it has no frame budget.
#pragma once

#include "timeline/Playback.h"

#include <cstdint>
#include <vector>

namespace halcyra {

class AdaptiveQuality {
public:
    static constexpr double floorScale = 0.5;        // of the width and height: a quarter of the area
    static constexpr double stepScale = 0.8;         // the largest calm step down (and 1 / 1.25 up)
    static constexpr double settleMs = 1000.0;       // at most one change in this much playing time
    static constexpr double freeAfterCutMs = 1000.0; // after a cut, a change may go as far as it must

    // `budgetMs`: the time a frame may take (the display's refresh with VSync, else 1/30 s). `width` ×
    // `height`: the picture at full size; `fullTargetArea`: the pixels its render targets hold at full size
    // (the square targets of the show's modes hold more than the picture).
    AdaptiveQuality(double budgetMs, int width, int height, double fullTargetArea);

    // After each drawn frame: its duration, the playing time so far (ms, without pauses), and whether this
    // is a moment where the size may change (not the title card, not the way to white) and how long ago the
    // scene began. Returns true when the scale changed; scale() and size() then say to what.
    bool frameDone(double frameMs, double playingMs, bool steady, double sinceCutMs);
    // A pause, a seek or a rebuild: the frames to come say nothing of the ones before.
    void forget();

    double scale() const { return current; }
    bool full() const { return current >= 1.0; }
    // The picture's size at the current scale: even, the full picture's shape.
    int width() const { return sizeAt(current).first; }
    int height() const { return sizeAt(current).second; }
    double budget() const { return budgetMs; }

private:
    std::pair<int, int> sizeAt(double scale) const;
    double targetArea(double scale) const;

    double budgetMs;
    int fullWidth;
    int fullHeight;
    double fullTargets;
    double current = 1.0;
    double lastChange = -1.0e9;
    std::vector<float> recent; // frame times since the last change
    int skip = 0;              // frames still to leave out after a change (their time holds the change)
};

// Has the platform draw the show at the scale AdaptiveQuality decides, frame by frame. The show's scene
// starts tell the cuts and the steady moments.
class AdaptivePicture final : public FrameObserver {
public:
    AdaptivePicture(AdaptiveQuality& quality, std::vector<double> sceneStarts);
    void framePresented(int sceneIndex, const Scene& scene) override;
    // Whether a size change at `showMs` would show: the opening's title card, the planet's last seconds
    // before and on the white screen.
    static bool steadyMoment(int sceneIndex, float sceneTime);

private:
    AdaptiveQuality& quality;
    std::vector<double> starts;
    double playing = 0.0;     // ms of show played, without pauses
    double expected = -1.0e9; // the show time of the frame before, to tell a seek
    double jumped = 0.0;      // `playing` at the last seek (or the start)
};

} // namespace halcyra
