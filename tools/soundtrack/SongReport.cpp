#include "soundtrack/SongReport.h"

#include "soundtrack/Sequencer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <iomanip>

namespace halcyra {
namespace {

double toDb(double power) {
    return 10.0 * std::log10(std::max(power, 1.0e-12));
}

constexpr size_t fftSize = 4096;
constexpr int bandCount = 10; // octaves centred on 31.5 Hz … 16 kHz

// In-place radix-2 FFT of `data` (fftSize points).
void fft(std::vector<std::complex<double>>& data) {
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step =
            std::polar(1.0, -2.0 * 3.14159265358979 / static_cast<double>(length));
        for (size_t i = 0; i < n; i += length) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> odd = w * data[i + k + length / 2];
                data[i + k + length / 2] = data[i + k] - odd;
                data[i + k] += odd;
                w *= step;
            }
        }
    }
}

// Energy of frames [begin, end) in octave bands, from Hann-windowed FFTs every fftSize / 2 frames.
std::array<double, bandCount> octaveBands(const StereoBuffer& audio, size_t begin, size_t end) {
    std::array<double, bandCount> bands{};
    std::vector<std::complex<double>> data(fftSize);
    for (size_t at = begin; at + fftSize <= end; at += fftSize / 2) {
        for (size_t i = 0; i < fftSize; ++i) {
            const double window =
                0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * static_cast<double>(i) / fftSize);
            data[i] = window * 0.5 * (audio.left[at + i] + audio.right[at + i]);
        }
        fft(data);
        for (size_t bin = 1; bin < fftSize / 2; ++bin) {
            const double frequency = static_cast<double>(bin) * sampleRate / fftSize;
            const int band = static_cast<int>(std::floor(std::log2(frequency / 31.5) + 0.5));
            if (band >= 0 && band < bandCount)
                bands[static_cast<size_t>(band)] += std::norm(data[bin]);
        }
    }
    return bands;
}

double rmsDb(const StereoBuffer& audio, size_t begin, size_t end) {
    end = std::min(end, audio.left.size());
    double energy = 0.0;
    for (size_t n = begin; n < end; ++n)
        energy += 0.5 * (audio.left[n] * audio.left[n] + audio.right[n] * audio.right[n]);
    return toDb(energy / static_cast<double>(std::max<size_t>(end - begin, 1)));
}

size_t frameOfBeat(double beat) {
    return static_cast<size_t>(std::llround(beat * 60.0 * sampleRate / showTempo));
}

// Where a new sound starts near `frame`: the analysis frame, 1 ms apart within 25 ms either side, whose
// magnitude spectrum (512 frames, Hann window, centred there) grows the most over the one before. Linear
// magnitudes let the strong attack outweigh the codec's faint pre-echo just ahead of it. In ms from `frame`.
double onsetOffsetMs(const std::vector<float>& mono, size_t frame) {
    constexpr size_t size = 512, step = sampleRate / 1000;
    constexpr int reach = 25;
    if (frame < (reach + 1) * step + size / 2 || frame + reach * step + size / 2 > mono.size())
        return 0.0;
    std::vector<std::complex<double>> data(size);
    std::vector<double> previous(size / 2), current(size / 2);
    double best = -1.0;
    int bestAt = 0;
    for (int k = -reach - 1; k <= reach; ++k) {
        const size_t start = frame + static_cast<size_t>(k) * step - size / 2;
        for (size_t i = 0; i < size; ++i)
            data[i] = mono[start + i] *
                      (0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * static_cast<double>(i) / size));
        fft(data);
        double growth = 0.0;
        for (size_t bin = 1; bin < size / 2; ++bin) {
            current[bin] = std::abs(data[bin]);
            growth += std::max(0.0, current[bin] - previous[bin]);
        }
        if (k > -reach - 1 && growth > best) {
            best = growth;
            bestAt = k;
        }
        std::swap(previous, current);
    }
    return static_cast<double>(bestAt);
}

} // namespace

std::vector<double> markedBeats() {
    std::vector<double> beats{32.0};
    for (int beat = 80; beat < 144; ++beat)
        beats.push_back(beat);
    for (int bar = 68; bar < 84; ++bar) {
        for (double accent : {1.0, 2.75, 3.5})
            beats.push_back(bar * beatsPerBar + accent);
    }
    for (int greeting = 0; greeting < 8; ++greeting)
        beats.push_back(336.0 + 8.0 * greeting);
    beats.push_back(silentBeat + 1.0);
    beats.push_back(whiteScreenBeat);
    return beats;
}

const std::array<const char*, partCount> partNames{
    "opening", "credits", "metaballs", "water", "cube rain", "greetings", "planet, climax", "break and end"};

void printReport(const Song& song, const StereoBuffer& audio, std::ostream& out) {
    const size_t total = audio.left.size();
    const auto frameOfBar = [&](int bar) {
        return std::min<size_t>(static_cast<size_t>(frameOfRow(bar * beatsPerBar, 1, song.tempo)), total);
    };
    out << std::fixed << std::setprecision(1);
    out << "scene  bars      peak   RMS  | octave bands, dB against the loudest:\n"
        << "                 dBFS   dBFS |    31    63   125   250   500    1k    2k    4k    8k   16k\n";
    int bar = 0;
    double songPeak = 0.0;
    for (size_t scene = 0; scene < sceneBeats.size(); ++scene) {
        const int bars = sceneBeats[scene] / beatsPerBar;
        const size_t begin = frameOfBar(bar), end = frameOfBar(bar + bars);
        double peak = 0.0;
        for (size_t n = begin; n < end; ++n)
            peak = std::max({peak, static_cast<double>(std::fabs(audio.left[n])),
                             static_cast<double>(std::fabs(audio.right[n]))});
        songPeak = std::max(songPeak, peak);
        const auto bands = octaveBands(audio, begin, end);
        const double loudest = *std::max_element(bands.begin(), bands.end());
        out << "  " << scene + 1 << "   " << std::setw(3) << bar << "-" << std::setw(3) << bar + bars - 1
            << "  " << std::setw(5) << 20.0 * std::log10(std::max(peak, 1.0e-9)) << " " << std::setw(6)
            << rmsDb(audio, begin, end) << " |";
        for (double band : bands)
            out << std::setw(6) << toDb(band / std::max(loudest, 1.0e-30));
        out << "\n";
        bar += bars;
    }
    out << "peak " << 20.0 * std::log10(std::max(songPeak, 1.0e-9)) << " dBFS\n";

    // Levels a bar at a time show the shape of the song: where it builds, breaks and ends.
    out << "RMS per bar (dBFS):";
    for (int b = 0; b < song.bars; ++b)
        out << (b % 16 == 0 ? "\n  " : " ") << std::setw(5) << rmsDb(audio, frameOfBar(b), frameOfBar(b + 1));
    out << "\n";

    // Near silence: 10 ms windows below −60 dBFS RMS.
    const size_t window = sampleRate / 100;
    size_t run = 0, longest = 0, longestEnd = 0;
    for (size_t at = 0; at + window <= total; at += window) {
        run = rmsDb(audio, at, at + window) < -60.0 ? run + window : 0;
        if (run > longest) {
            longest = run;
            longestEnd = at + window;
        }
    }
    out << std::setprecision(3)
        << "longest stretch under -60 dBFS: " << static_cast<double>(longest) / sampleRate << " s, ending at "
        << static_cast<double>(longestEnd) / sampleRate << " s\n";
}

MasterFigures measureMaster(const StereoBuffer& audio) {
    const std::vector<float>&left = audio.left, &right = audio.right;
    const size_t total = left.size();
    MasterFigures figures;
    figures.integrated = integratedLoudness(left, right, 0, total, sampleRate);
    figures.range = loudnessRange(left, right, sampleRate);
    figures.truePeak = truePeakDb(left, right);

    std::array<double, partCount + 1> bounds{};
    for (size_t scene = 0; scene < sceneBeats.size(); ++scene)
        bounds[scene + 1] = bounds[scene] + sceneBeats[scene];
    bounds[partCount] = bounds[sceneBeats.size()];
    bounds[partCount - 1] = silentBeat;
    for (int part = 0; part < partCount; ++part)
        figures.partLoudness[static_cast<size_t>(part)] =
            integratedLoudness(left, right, frameOfBeat(bounds[static_cast<size_t>(part)]),
                               frameOfBeat(bounds[static_cast<size_t>(part) + 1]), sampleRate);

    figures.lowBand = bandLevelDb(left, right, 0, total, sampleRate, 0.0, 100.0);
    figures.middleBand = bandLevelDb(left, right, 0, total, sampleRate, 100.0, 2000.0);
    figures.highBand = bandLevelDb(left, right, 0, total, sampleRate, 2000.0, 0.0);

    // The silent beat without its first 60 and last 40 ms, where the cut and the next chord may reach.
    const size_t quietFrom = frameOfBeat(silentBeat) + sampleRate * 60 / 1000;
    const size_t quietTo = frameOfBeat(silentBeat + 1.0) - sampleRate * 40 / 1000;
    figures.silentBeatLevel = rmsDb(audio, quietFrom, quietTo);

    const size_t hit = frameOfBeat(whiteScreenBeat);
    const size_t barBefore = frameOfBeat(whiteScreenBeat - beatsPerBar), hitEnd = hit + sampleRate / 2;
    figures.hitRise = rmsDb(audio, hit, hitEnd) - rmsDb(audio, barBefore, hit);
    figures.hitBrightening = bandLevelDb(left, right, hit, hitEnd, sampleRate, 2000.0, 0.0) -
                             bandLevelDb(left, right, barBefore, hit, sampleRate, 2000.0, 0.0);

    std::vector<float> mono(total);
    for (size_t n = 0; n < total; ++n)
        mono[n] = 0.5f * (left[n] + right[n]);
    for (double beat : markedBeats())
        figures.onsetError = std::max(figures.onsetError, std::fabs(onsetOffsetMs(mono, frameOfBeat(beat))));
    return figures;
}

void printMasterReport(const MasterFigures& figures, std::ostream& out) {
    out << std::fixed << std::setprecision(1) << "as the show plays it (decoded MP3):\n"
        << "  integrated " << figures.integrated << " LUFS, loudness range " << figures.range.range()
        << " LU (" << figures.range.low << " to " << figures.range.high << "), true peak " << figures.truePeak
        << " dBTP\n  loudness by part (LUFS):";
    for (int part = 0; part < partCount; ++part)
        out << (part == 0 ? " " : ", ") << partNames[static_cast<size_t>(part)] << " "
            << figures.partLoudness[static_cast<size_t>(part)];
    out << "\n  bands (dBFS RMS): under 100 Hz " << figures.lowBand << ", 100 Hz to 2 kHz "
        << figures.middleBand << ", over 2 kHz " << figures.highBand << "; against the middle: low "
        << std::showpos << figures.lowBand - figures.middleBand << ", high "
        << figures.highBand - figures.middleBand << std::noshowpos << " dB\n  silent beat "
        << figures.silentBeatLevel << " dBFS RMS; white-screen hit " << std::showpos << figures.hitRise
        << " dB over the bar before, over 2 kHz " << figures.hitBrightening << std::noshowpos << " dB\n  the "
        << markedBeats().size() << " marked beats start a sound within " << figures.onsetError << " ms\n";
}

} // namespace halcyra
