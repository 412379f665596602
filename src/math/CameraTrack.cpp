#include "math/CameraTrack.h"

#include "core/Message.h"
#include "math/Curves.h"

#include <algorithm>
#include <cmath>

namespace halcyra {

namespace {

// Longer paths are certainly broken data (11 hours at the reader's 40 ms step).
constexpr int64_t maxStepCount = 1000000;

Vec3 lerp(Vec3 a, Vec3 b, double f) {
    return {static_cast<float>(a.x + (double(b.x) - a.x) * f),
            static_cast<float>(a.y + (double(b.y) - a.y) * f),
            static_cast<float>(a.z + (double(b.z) - a.z) * f)};
}

template <typename Key>
bool inTimeOrder(const std::vector<Key>& keys) {
    return std::is_sorted(keys.begin(), keys.end(),
                          [](const Key& a, const Key& b) { return a.time < b.time; });
}

// Whole steps between two key times: the integer difference divided in floating point, truncated.
int64_t stepsBetween(int32_t from, int32_t to, int32_t step) {
    return static_cast<int64_t>(double(int64_t(to) - from) / step);
}

// A segment's step count for the samplers; a count beyond the table only fills the table.
int32_t segmentStepsBetween(int32_t from, int32_t to, int32_t step) {
    return static_cast<int32_t>(std::min<int64_t>(stepsBetween(from, to, step), maxStepCount + 1));
}

// Entries the sampler left unwritten (key times that are not whole steps apart) keep the last point, so
// playback never swings towards the origin at the end of a loop.
template <typename T>
void holdLast(std::vector<T>& table, int32_t written) {
    if (written <= 0)
        return;
    std::fill(table.begin() + written, table.end(), table[written - 1]);
}

} // namespace

CameraTrack::CameraTrack(int32_t mode, int32_t step, int32_t keyCount, int32_t rollKeyCount)
    : mode(mode), step(step) {
    if (keyCount < 0 || rollKeyCount < 0) {
        showMessage("camera track has a negative key count");
        keyCount = std::max(keyCount, 0);
        rollKeyCount = std::max(rollKeyCount, 0);
    }
    keys.resize(static_cast<size_t>(keyCount));
    rollKeys.resize(static_cast<size_t>(rollKeyCount));
    hasRoll = rollKeyCount >= 2;
    rewind();
}

void CameraTrack::prepare(float tension, float continuity, float bias) {
    sampled = false;
    stepCount = 0;
    eyeSamples.clear();
    targetSamples.clear();
    rollSamples.clear();
    if (keys.empty()) {
        showMessage("camera track has no keys");
        holdStill();
        return;
    }
    if (!inTimeOrder(rollKeys)) {
        showMessage("camera track roll keys are not in time order");
        hasRoll = false;
    }
    if (!inTimeOrder(keys)) {
        showMessage("camera track keys are not in time order");
        holdStill();
        return;
    }
    if (keys.size() == 1) {
        holdStill();
        return;
    }
    if (mode != Tcb && mode != Linear && mode != CatmullRom)
        return;
    if (step <= 0) {
        showMessage("camera track step must be positive");
        holdStill();
        return;
    }
    const int64_t steps = stepsBetween(keys.front().time, keys.back().time, step);
    if (steps > maxStepCount) {
        showMessage("camera track is too long");
        holdStill();
        return;
    }
    stepCount = static_cast<int32_t>(steps);

    const size_t n = keys.size();
    std::vector<Vec3> eyeKeys(n), targetKeys(n);
    std::vector<int32_t> segmentSteps(n - 1);
    for (size_t i = 0; i < n; ++i) {
        eyeKeys[i] = keys[i].eye;
        targetKeys[i] = keys[i].target;
        if (i + 1 < n)
            segmentSteps[i] = segmentStepsBetween(keys[i].time, keys[i + 1].time, step);
    }
    eyeSamples.assign(static_cast<size_t>(stepCount) + 1, Vec3{});
    targetSamples.assign(static_cast<size_t>(stepCount) + 1, Vec3{});
    int32_t eyeWritten = 0, targetWritten = 0;
    if (mode == Tcb) {
        eyeWritten = sampleTcbCurve(tension, continuity, bias, eyeKeys, eyeSamples, segmentSteps);
        targetWritten = sampleTcbCurve(tension, continuity, bias, targetKeys, targetSamples, segmentSteps);
    } else if (mode == Linear) {
        eyeWritten = sampleLinearCurve(eyeKeys, eyeSamples, segmentSteps);
        targetWritten = sampleLinearCurve(targetKeys, targetSamples, segmentSteps);
        // The line sampler stops short of the last key; the table's end is that key.
        if (eyeWritten < static_cast<int32_t>(eyeSamples.size()))
            eyeSamples[eyeWritten++] = eyeKeys.back();
        if (targetWritten < static_cast<int32_t>(targetSamples.size()))
            targetSamples[targetWritten++] = targetKeys.back();
    } else {
        eyeWritten = sampleCatmullRomCurve(eyeKeys, eyeSamples, segmentSteps);
        targetWritten = sampleCatmullRomCurve(targetKeys, targetSamples, segmentSteps);
    }
    holdLast(eyeSamples, eyeWritten);
    holdLast(targetSamples, targetWritten);
    sampled = true;
    sampleIndex = 0;

    if (hasRoll) {
        const size_t r = rollKeys.size();
        std::vector<Vec3> rollPoints(r);
        std::vector<int32_t> rollSteps(r - 1);
        for (size_t i = 0; i < r; ++i) {
            rollPoints[i] = {rollKeys[i].roll, 0.0f, 0.0f};
            if (i + 1 < r)
                rollSteps[i] = segmentStepsBetween(rollKeys[i].time, rollKeys[i + 1].time, step);
        }
        // Sized from the path: roll keys that run on past the last path key are cut off there.
        std::vector<Vec3> rollTable(static_cast<size_t>(stepCount) + 1);
        const int32_t written = sampleTcbCurve(tension, continuity, bias, rollPoints, rollTable, rollSteps);
        holdLast(rollTable, written);
        rollSamples.resize(rollTable.size());
        for (size_t k = 0; k < rollTable.size(); ++k)
            rollSamples[k] = rollTable[k].x;
    }
}

void CameraTrack::rewind() {
    sampleIndex = 0;
    rollKeyIndex = 0;
    stepTime = 0.0f;
    rollTime = 0.0f;
}

void CameraTrack::advance(float elapsed) {
    if (sampled)
        advanceSampled(elapsed);
    else
        advanceKeys(elapsed);
}

void CameraTrack::advanceSampled(float elapsed) {
    const bool tablesComplete = stepCount > 0 && step > 0 && eyeSamples.size() > size_t(stepCount) &&
                                targetSamples.size() > size_t(stepCount) &&
                                (!hasRoll || rollSamples.size() > size_t(stepCount));
    if (!tablesComplete) {
        if (!eyeSamples.empty() && !targetSamples.empty()) {
            eye = eyeSamples[0];
            target = targetSamples[0];
        }
        if (hasRoll && !rollSamples.empty())
            roll = rollSamples[0];
        return;
    }
    if (sampleIndex < 0 || sampleIndex >= stepCount)
        rewind();
    stepTime += elapsed;
    while (stepTime >= float(step)) {
        stepTime -= float(step);
        if (++sampleIndex == stepCount) {
            // The time left in the crossing step is dropped: the loop restarts exactly on sample 0.
            rewind();
            break;
        }
    }
    const double f = double(stepTime) / step;
    eye = lerp(eyeSamples[sampleIndex], eyeSamples[sampleIndex + 1], f);
    target = lerp(targetSamples[sampleIndex], targetSamples[sampleIndex + 1], f);
    if (hasRoll)
        advanceRoll(elapsed);
}

void CameraTrack::advanceKeys(float elapsed) {
    const size_t n = keys.size();
    if (n < 2) {
        if (n == 1) {
            eye = keys[0].eye;
            target = keys[0].target;
        }
        return;
    }
    stepTime += elapsed;
    float rollElapsed = elapsed;
    size_t i = static_cast<size_t>(std::clamp<int32_t>(sampleIndex, 0, int32_t(n) - 2));
    while (stepTime >= float(keys[i + 1].time)) {
        if (++i < n - 1)
            continue;
        // Past the last key the overshoot carries into the next loop, which starts at time 0; the roll
        // restarts with the path so that both stay in step.
        const float period = float(keys[n - 1].time);
        float carry = stepTime - float(keys[n - 1].time);
        rewind();
        i = 0;
        rollElapsed = 0.0f;
        if (!(period > 0.0f))
            break;
        if (carry >= period)
            carry = std::fmod(carry, period);
        stepTime = carry;
        rollElapsed = carry;
    }
    sampleIndex = static_cast<int32_t>(i);
    const CameraKey& a = keys[i];
    const CameraKey& b = keys[i + 1];
    const int64_t span = int64_t(b.time) - a.time;
    const double f = span > 0 ? (double(stepTime) - a.time) / double(span) : 0.0;
    eye = lerp(a.eye, b.eye, f);
    target = lerp(a.target, b.target, f);
    if (hasRoll)
        advanceRoll(rollElapsed);
}

void CameraTrack::advanceRoll(float elapsed) {
    rollTime += elapsed;
    if (!hasRoll)
        return;
    if (sampled) {
        if (stepCount <= 0 || rollSamples.size() <= size_t(stepCount) || sampleIndex < 0 ||
            sampleIndex >= stepCount) {
            if (!rollSamples.empty())
                roll = rollSamples[0];
            return;
        }
        const double a = rollSamples[sampleIndex];
        const double b = rollSamples[sampleIndex + 1];
        roll = static_cast<float>(a + (b - a) * (double(stepTime) / step));
        return;
    }
    const size_t r = rollKeys.size();
    if (r < 2)
        return;
    size_t j = static_cast<size_t>(std::clamp<int32_t>(rollKeyIndex, 0, int32_t(r) - 2));
    // The index stops at the last segment; past the last key the roll holds that key's value.
    while (j + 2 < r && rollTime >= float(rollKeys[j + 1].time))
        ++j;
    rollKeyIndex = static_cast<int32_t>(j);
    const RollKey& a = rollKeys[j];
    const RollKey& b = rollKeys[j + 1];
    const int64_t span = int64_t(b.time) - a.time;
    if (rollTime >= float(b.time) || span <= 0) {
        roll = b.roll;
        return;
    }
    roll =
        static_cast<float>(a.roll + (double(rollTime) - a.time) / double(span) * (double(b.roll) - a.roll));
}

void CameraTrack::holdStill() {
    stepCount = 0;
    eyeSamples.assign(1, keys.empty() ? Vec3{} : keys[0].eye);
    targetSamples.assign(1, keys.empty() ? Vec3{} : keys[0].target);
    rollSamples.assign(1, hasRoll ? rollKeys[0].roll : 0.0f);
    sampled = true;
    sampleIndex = 0;
    eye = eyeSamples[0];
    target = targetSamples[0];
    if (hasRoll)
        roll = rollSamples[0];
}

} // namespace halcyra
