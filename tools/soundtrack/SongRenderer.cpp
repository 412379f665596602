#include "soundtrack/SongRenderer.h"

#include "soundtrack/Effects.h"
#include "soundtrack/Instrument.h"
#include "soundtrack/Limiter.h"
#include "soundtrack/Sequencer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <system_error>
#include <thread>

#if defined(__x86_64__) || defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace halcyra {
namespace {

constexpr int blockFrames = 64;
// The tracks render a chunk at a time (about 1.5 s), the drums and bass on one thread and the tonal
// instruments on another; the effects and the master then take the chunk block by block.
constexpr int chunkFrames = 1024 * blockFrames;
constexpr float reverbSeconds = 3.2f;
constexpr float delayFeedback = 0.42f;
constexpr int delayRows = 3; // a dotted eighth: three sixteenths
// Ducking under the kick: the gain dips within 2 ms of the hit and recovers over about a beat.
constexpr float duckAttackFrames = 0.002f * sampleRateHz;
constexpr float duckRecoverSeconds = 0.11f;
constexpr float returnDuck = 0.3f; // how much the reverb and delay returns duck too
constexpr int limiterLookahead = static_cast<int>(0.004f * sampleRateHz);
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

// Which of the two groups a track renders in: drums, bass and riser, or the pads, plucks, leads and voices.
// The split is fixed, never taken from the machine, so every machine adds the same numbers in the same order.
int groupOf(InstrumentKind kind) {
    return kind == InstrumentKind::Pad || kind == InstrumentKind::Pluck || kind == InstrumentKind::Lead ||
                   kind == InstrumentKind::Voice
               ? 1
               : 0;
}

// What one group of tracks adds to a chunk: its dry mix and its sends to the effects.
struct GroupMix {
    std::vector<float> dryLeft, dryRight, reverbSend, delaySend;

    void clear(int frames) {
        for (std::vector<float>* part : {&dryLeft, &dryRight, &reverbSend, &delaySend})
            part->assign(static_cast<size_t>(frames), 0.0f);
    }
};

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
          tone(song.master.lowCut, song.master.bass, song.master.air, song.master.presence,
               song.master.body) {
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
            if (solo.empty() || solo == track.name) {
                groups[static_cast<size_t>(groupOf(track.kind))].push_back(tracks.size());
                tracks.push_back(std::move(state));
            }
        }
        std::sort(kicks.begin(), kicks.end());
    }

    // Renders the next `frames` frames (at most chunkFrames) into `left` and `right`.
    void renderChunk(float* left, float* right, int frames) {
        duck.resize(static_cast<size_t>(frames));
        duckEnvelope(duck.data(), frames);
        for (GroupMix& mix : mixes)
            mix.clear(frames);
        // The groups write nothing they share. Without a second thread, one renders after the other.
        std::thread worker;
        try {
            worker = std::thread([this, frames] {
                DenormalsFlushed flushed;
                renderGroup(1, frames);
            });
        } catch (const std::system_error&) {
        }
        renderGroup(0, frames);
        if (worker.joinable())
            worker.join();
        else
            renderGroup(1, frames);
        for (int start = 0; start < frames; start += blockFrames)
            mixBlock(start, std::min(blockFrames, frames - start), left + start, right + start);
        position += frames;
    }

private:
    double barAt(int64_t frame) const {
        return static_cast<double>(frame) * song.tempo / (60.0 * sampleRate * beatsPerBar);
    }

    void renderGroup(int group, int frames) {
        GroupMix& mix = mixes[static_cast<size_t>(group)];
        for (int start = 0; start < frames; start += blockFrames) {
            const int count = std::min(blockFrames, frames - start);
            const int64_t blockStart = position + start;
            for (size_t index : groups[static_cast<size_t>(group)])
                renderTrack(tracks[index], barAt(blockStart), blockStart, duck.data() + start, count,
                            mix.dryLeft.data() + start, mix.dryRight.data() + start,
                            mix.reverbSend.data() + start, mix.delaySend.data() + start);
        }
    }

    // The two groups summed, the effects, the master gain and tone, for the block at `start` in the chunk.
    void mixBlock(int start, int frames, float* left, float* right) {
        const double bar = barAt(position + start);
        float dryLeft[blockFrames], dryRight[blockFrames], reverbSend[blockFrames], delaySend[blockFrames];
        float wetLeft[blockFrames] = {}, wetRight[blockFrames] = {};
        const GroupMix &first = mixes[0], &second = mixes[1];
        for (int i = 0; i < frames; ++i) {
            const size_t n = static_cast<size_t>(start + i);
            dryLeft[i] = first.dryLeft[n] + second.dryLeft[n];
            dryRight[i] = first.dryRight[n] + second.dryRight[n];
            reverbSend[i] = first.reverbSend[n] + second.reverbSend[n];
            delaySend[i] = first.delaySend[n] + second.delaySend[n];
        }
        reverb.process(reverbSend, wetLeft, wetRight, frames);
        delay.process(delaySend, wetLeft, wetRight, frames);
        const float master = decibels(curveValue(song.masterGain, bar, 0.0f, false));
        if (masterGain < 0.0f)
            masterGain = master;
        const float* blockDuck = duck.data() + start;
        for (int i = 0; i < frames; ++i) {
            const float g = masterGain + (master - masterGain) * static_cast<float>(i + 1) / frames;
            const float returns = 1.0f - returnDuck * blockDuck[i];
            left[i] = g * (dryLeft[i] + returns * wetLeft[i]);
            right[i] = g * (dryRight[i] + returns * wetRight[i]);
        }
        masterGain = master;
        tone.process(left, right, frames);
    }

    void duckEnvelope(float* duck, int frames) {
        const float recover = std::exp(-1.0f / (duckRecoverSeconds * sampleRateHz));
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

    void renderTrack(TrackState& state, double bar, int64_t blockStart, const float* __restrict duck,
                     int frames, float* __restrict dryLeft, float* __restrict dryRight,
                     float* __restrict reverbSend, float* __restrict delaySend) {
        const Track& track = *state.track;
        const auto curve = [&](CurveTarget target) -> const Curve& {
            return track.curves[static_cast<size_t>(target)];
        };
        const float gain = decibels(track.mix.gain + curveValue(curve(CurveTarget::Gain), bar, 0.0f, false));
        if (state.gain < 0.0f)
            state.gain = gain;
        // A track that is silent and starts nothing in this block adds nothing to it (a chorus may still
        // be sounding out what it was given).
        const bool startsSomething = state.nextEvent < state.events.size() &&
                                     state.events[state.nextEvent].frame < blockStart + frames;
        if (!startsSomething && !state.chorus && !state.instrument->sounding()) {
            state.gain = gain;
            return;
        }
        float left[blockFrames] = {}, right[blockFrames] = {};
        state.instrument->setCutoff(
            curveValue(curve(CurveTarget::Cutoff), bar, state.instrument->toneCutoff(), true));
        int done = 0;
        while (state.nextEvent < state.events.size() &&
               state.events[state.nextEvent].frame < blockStart + frames) {
            const NoteEvent& event = state.events[state.nextEvent++];
            const int at = static_cast<int>(event.frame - blockStart);
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
    std::array<std::vector<size_t>, 2> groups; // indices into tracks
    std::array<GroupMix, 2> mixes;
    std::vector<float> duck; // the chunk's ducking under the kick, 0 … 1
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
    StereoBuffer out;
    renderSong(song, options, out, [](size_t) {});
    return out;
}

void renderSong(const Song& song, const RenderOptions& options, StereoBuffer& out,
                const std::function<void(size_t)>& progress) {
    DenormalsFlushed flushed;
    const int64_t total = songFrames(song);
    const int64_t skip = std::clamp<int64_t>(options.skipFrames, 0, total);
    const int64_t frames = options.frames < 0 ? total - skip : std::min(options.frames, total - skip);
    out.left.assign(static_cast<size_t>(frames), 0.0f);
    out.right.assign(static_cast<size_t>(frames), 0.0f);
    Limiter limiter(out.left, out.right, decibels(song.master.ceiling), limiterLookahead, limiterRelease);
    Renderer renderer(song, options.solo);
    std::vector<float> left(chunkFrames), right(chunkFrames);
    for (int64_t at = 0; at < skip + frames; at += chunkFrames) {
        const int count = static_cast<int>(std::min<int64_t>(chunkFrames, skip + frames - at));
        renderer.renderChunk(left.data(), right.data(), count);
        for (int i = 0; i < count; ++i) {
            const int64_t index = at + i - skip;
            if (index >= 0) {
                out.left[static_cast<size_t>(index)] = left[static_cast<size_t>(i)];
                out.right[static_cast<size_t>(index)] = right[static_cast<size_t>(i)];
            }
        }
        progress(limiter.advance(static_cast<size_t>(std::max<int64_t>(at + count - skip, 0))));
    }
    if (frames == 0)
        progress(0);
}

} // namespace halcyra
