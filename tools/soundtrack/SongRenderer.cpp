#include "soundtrack/SongRenderer.h"

#include "soundtrack/Effects.h"
#include "soundtrack/Instrument.h"
#include "soundtrack/Limiter.h"
#include "soundtrack/Sequencer.h"

#include <algorithm>
#include <cmath>
#include <memory>

#if defined(__x86_64__) || defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace halcyra {
namespace {

constexpr int blockFrames = 64;
constexpr float rate = static_cast<float>(sampleRate);
constexpr float reverbSeconds = 3.2f;
constexpr float delayFeedback = 0.42f;
constexpr int delayRows = 3; // a dotted eighth: three sixteenths
// Ducking under the kick: the gain dips within 2 ms of the hit and recovers over about a beat.
constexpr float duckAttackFrames = 0.002f * rate;
constexpr float duckRecoverSeconds = 0.11f;
constexpr float returnDuck = 0.3f; // how much the reverb and delay returns duck too
constexpr int limiterLookahead = static_cast<int>(0.004f * rate);
constexpr float limiterRelease = 0.12f;

// Decaying filters and reverb tails end in denormal floats, which are slow to compute with. A render flushes
// them to zero itself, so its samples also do not depend on the floating-point mode of whoever calls it.
class DenormalsFlushed {
public:
#if defined(__x86_64__) || defined(__SSE__)
    DenormalsFlushed() : saved(_mm_getcsr()) {
        _mm_setcsr(saved | 0x8040u);
    }
    ~DenormalsFlushed() {
        _mm_setcsr(saved);
    }

private:
    unsigned saved;
#elif defined(__aarch64__)
    DenormalsFlushed() {
        __asm__ volatile("mrs %0, fpcr" : "=r"(saved));
        __asm__ volatile("msr fpcr, %0" : : "r"(saved | (1ull << 24)));
    }
    ~DenormalsFlushed() {
        __asm__ volatile("msr fpcr, %0" : : "r"(saved));
    }

private:
    unsigned long long saved;
#endif
};

float decibels(float db) {
    return std::pow(10.0f, db / 20.0f);
}

struct TrackState {
    const Track* track;
    std::unique_ptr<Instrument> instrument;
    std::unique_ptr<Chorus> chorus;
    std::vector<NoteEvent> events;
    size_t nextEvent = 0;
    float gain = -1.0f; // linear gain at the end of the last block; negative before the first
    float panLeft = 1.0f, panRight = 1.0f;
};

class Renderer {
public:
    Renderer(const Song& song, const std::string& solo)
        : song(song), reverb(reverbSeconds),
          delay(static_cast<int>(frameOfRow(delayRows, 4, song.tempo)), delayFeedback),
          tone(song.master.lowCut, song.master.bass, song.master.air) {
        unsigned seed = 1;
        for (const Track& track : song.tracks) {
            TrackState state{&track, makeInstrument(track.kind, track.tone, seed++), nullptr,
                             sequenceTrack(song, track)};
            if (track.mix.chorus > 0.0f)
                state.chorus = std::make_unique<Chorus>();
            // Equal power, scaled so the centre passes at unity.
            const float angle = (track.mix.pan + 1.0f) * 0.78539816f;
            state.panLeft = 1.41421356f * std::cos(angle);
            state.panRight = 1.41421356f * std::sin(angle);
            if (track.kind == InstrumentKind::Kick) {
                for (const NoteEvent& event : state.events) {
                    if (!event.notes.empty())
                        kicks.push_back(event.frame);
                }
            }
            if (solo.empty() || solo == track.name)
                tracks.push_back(std::move(state));
        }
        std::sort(kicks.begin(), kicks.end());
    }

    // Renders the next block of `frames` (at most blockFrames) into `left` and `right`.
    void renderBlock(float* left, float* right, int frames) {
        const double bar = static_cast<double>(position) * song.tempo / (60.0 * sampleRate * beatsPerBar);
        float duck[blockFrames], dryLeft[blockFrames] = {}, dryRight[blockFrames] = {};
        float reverbSend[blockFrames] = {}, delaySend[blockFrames] = {};
        float wetLeft[blockFrames] = {}, wetRight[blockFrames] = {};
        duckEnvelope(duck, frames);
        for (TrackState& state : tracks)
            renderTrack(state, bar, duck, frames, dryLeft, dryRight, reverbSend, delaySend);
        reverb.process(reverbSend, wetLeft, wetRight, frames);
        delay.process(delaySend, wetLeft, wetRight, frames);
        const float master = decibels(curveValue(song.masterGain, bar, 0.0f, false));
        if (masterGain < 0.0f)
            masterGain = master;
        for (int i = 0; i < frames; ++i) {
            const float g = masterGain + (master - masterGain) * static_cast<float>(i + 1) / frames;
            const float returns = 1.0f - returnDuck * duck[i];
            left[i] = g * (dryLeft[i] + returns * wetLeft[i]);
            right[i] = g * (dryRight[i] + returns * wetRight[i]);
        }
        masterGain = master;
        tone.process(left, right, frames);
        position += frames;
    }

private:
    void duckEnvelope(float* duck, int frames) {
        const float recover = std::exp(-1.0f / (duckRecoverSeconds * rate));
        for (int i = 0; i < frames; ++i) {
            const int64_t frame = position + i;
            while (nextKick < kicks.size() && kicks[nextKick] <= frame) {
                lastKick = kicks[nextKick++];
                duckLevel = 1.0f;
            }
            if (lastKick < 0) {
                duck[i] = 0.0f;
                continue;
            }
            const float since = static_cast<float>(frame - lastKick);
            duck[i] = std::min(since / duckAttackFrames, 1.0f) * duckLevel;
            duckLevel *= recover;
        }
    }

    void renderTrack(TrackState& state, double bar, const float* duck, int frames, float* dryLeft,
                     float* dryRight, float* reverbSend, float* delaySend) {
        const Track& track = *state.track;
        float left[blockFrames] = {}, right[blockFrames] = {};
        const auto curve = [&](CurveTarget target) -> const Curve& {
            return track.curves[static_cast<size_t>(target)];
        };
        state.instrument->setCutoff(
            curveValue(curve(CurveTarget::Cutoff), bar, state.instrument->toneCutoff(), true));
        int done = 0;
        while (state.nextEvent < state.events.size() &&
               state.events[state.nextEvent].frame < position + frames) {
            const NoteEvent& event = state.events[state.nextEvent++];
            const int at = static_cast<int>(event.frame - position);
            if (at > done) {
                state.instrument->render(left + done, right + done, at - done);
                done = at;
            }
            if (event.notes.empty())
                state.instrument->release();
            else
                state.instrument->play(event.notes, event.velocity, event.glide);
        }
        if (done < frames)
            state.instrument->render(left + done, right + done, frames - done);
        if (state.chorus)
            state.chorus->process(left, right, frames, track.mix.chorus);

        const float gain = decibels(track.mix.gain + curveValue(curve(CurveTarget::Gain), bar, 0.0f, false));
        if (state.gain < 0.0f)
            state.gain = gain;
        const float reverbAmount = curveValue(curve(CurveTarget::Reverb), bar, track.mix.reverb, false);
        const float delayAmount = curveValue(curve(CurveTarget::Delay), bar, track.mix.delay, false);
        for (int i = 0; i < frames; ++i) {
            const float g = (state.gain + (gain - state.gain) * static_cast<float>(i + 1) / frames) *
                            (1.0f - track.mix.duck * duck[i]);
            const float l = left[i] * g * state.panLeft;
            const float r = right[i] * g * state.panRight;
            dryLeft[i] += l;
            dryRight[i] += r;
            reverbSend[i] += 0.5f * (l + r) * reverbAmount;
            delaySend[i] += 0.5f * (l + r) * delayAmount;
        }
        state.gain = gain;
    }

    const Song& song;
    std::vector<TrackState> tracks;
    Reverb reverb;
    PingPongDelay delay;
    MasterTone tone;
    std::vector<int64_t> kicks;
    size_t nextKick = 0;
    int64_t lastKick = -1;
    float duckLevel = 0.0f;
    float masterGain = -1.0f;
    int64_t position = 0;
};

} // namespace

StereoBuffer renderSong(const Song& song, const RenderOptions& options) {
    DenormalsFlushed flushed;
    const int64_t total = songFrames(song);
    const int64_t skip = std::clamp<int64_t>(options.skipFrames, 0, total);
    const int64_t frames = options.frames < 0 ? total - skip : std::min(options.frames, total - skip);
    StereoBuffer out;
    out.left.resize(static_cast<size_t>(frames));
    out.right.resize(static_cast<size_t>(frames));
    Renderer renderer(song, options.solo);
    float left[blockFrames], right[blockFrames];
    for (int64_t at = 0; at < skip + frames; at += blockFrames) {
        const int count = static_cast<int>(std::min<int64_t>(blockFrames, skip + frames - at));
        renderer.renderBlock(left, right, count);
        for (int i = 0; i < count; ++i) {
            const int64_t index = at + i - skip;
            if (index >= 0) {
                out.left[static_cast<size_t>(index)] = left[i];
                out.right[static_cast<size_t>(index)] = right[i];
            }
        }
    }
    limit(out.left, out.right, decibels(song.master.ceiling), limiterLookahead, limiterRelease);
    return out;
}

} // namespace halcyra
