#include "timeline/AdaptiveQuality.h"

#include "core/Platform.h"
#include "scenes/Scene.h"
#include "show/ShowLayout.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace halcyra {
namespace {

// Frames to measure at a size before judging it; the first ones after a change carry the change itself.
constexpr int framesToJudge = 5;
constexpr int framesAfterChange = 2;
// Over budget by this much, the picture shrinks towards `aimShare` of the budget; it grows when the larger
// size is expected within `aimShare`.
constexpr double overShare = 1.05;
constexpr double aimShare = 0.85;
// The planet's background turns grey, then white, from here on (ms into the scene).
constexpr float wayToWhite = 41090.0f - 500.0f;

double median(std::vector<float> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

AdaptiveQuality::AdaptiveQuality(double budget, int width, int height, double fullTargetArea)
    : budgetMs(budget), fullWidth(width), fullHeight(height), fullTargets(fullTargetArea) {}

std::pair<int, int> AdaptiveQuality::sizeAt(double scale) const {
    if (scale >= 1.0)
        return {fullWidth, fullHeight};
    auto even = [&](int length) {
        return std::max(2, static_cast<int>(std::lround(length * scale / 2.0)) * 2);
    };
    return {even(fullWidth), even(fullHeight)};
}

double AdaptiveQuality::targetArea(double scale) const {
    if (scale >= 1.0)
        return fullTargets;
    const auto [width, height] = sizeAt(scale);
    return static_cast<double>(width) * height;
}

void AdaptiveQuality::forget() {
    recent.clear();
    skip = framesAfterChange;
}

bool AdaptiveQuality::frameDone(double frameMs, double playingMs, bool steady, double sinceCutMs) {
    if (skip > 0) {
        --skip;
        return false;
    }
    recent.push_back(static_cast<float>(frameMs));
    if (recent.size() > 60)
        recent.erase(recent.begin());
    const bool free = sinceCutMs < freeAfterCutMs;
    if (static_cast<int>(recent.size()) < framesToJudge || steady ||
        (!free && playingMs - lastChange < settleMs))
        return false;

    const double typical = median(recent);
    double wanted = current;
    if (typical > budgetMs * overShare && current > floorScale) {
        // The frame's cost follows the pixels drawn: the area that fits the aim, as a scale.
        const double area = targetArea(current) * aimShare * budgetMs / typical;
        wanted = std::min(0.99, std::sqrt(area / (static_cast<double>(fullWidth) * fullHeight)));
        if (!free)
            wanted = std::max(wanted, current * stepScale);
        wanted = std::max(wanted, floorScale);
    } else if (current < 1.0) {
        double larger = free ? 1.0 : std::min(1.0, current / stepScale);
        // The largest size up to that one whose expected time stays within the aim.
        while (larger > current + 0.005 &&
               typical * targetArea(larger) / targetArea(current) > aimShare * budgetMs)
            larger -= 0.01;
        wanted = larger;
    }
    if (std::abs(wanted - current) < 0.01 || sizeAt(wanted) == sizeAt(current))
        return false;
    current = wanted >= 0.995 ? 1.0 : wanted;
    lastChange = playingMs;
    forget();
    return true;
}

AdaptivePicture::AdaptivePicture(AdaptiveQuality& governor, std::vector<double> sceneStarts)
    : quality(governor), starts(std::move(sceneStarts)) {}

bool AdaptivePicture::steadyMoment(int sceneIndex, float sceneTime) {
    const int last = static_cast<int>(show::sceneBeats.size()) - 1;
    return (sceneIndex == 0 && sceneTime >= show::phraseMs - 500.0f) ||
           (sceneIndex == last && sceneTime >= wayToWhite);
}

void AdaptivePicture::framePresented(int sceneIndex, const Scene& scene) {
    if (sceneIndex < 0 || sceneIndex >= static_cast<int>(starts.size()))
        return;
    playing += scene.wallFrameTime;
    // A seek lands where the show costs what it costs there: like a cut, it may change the size at once.
    // (The scene's time is already the next frame's.)
    const double shown = starts[static_cast<size_t>(sceneIndex)] + scene.time;
    if (std::abs(shown - scene.frameTime - expected) > 50.0) {
        quality.forget();
        jumped = playing;
    }
    expected = shown;
    const double sinceCut = std::min<double>(scene.time, playing - jumped);
    if (!quality.frameDone(scene.wallFrameTime, playing, steadyMoment(sceneIndex, scene.time), sinceCut))
        return;
    resizePicture(quality.width(), quality.height(), quality.full());
}

} // namespace halcyra
