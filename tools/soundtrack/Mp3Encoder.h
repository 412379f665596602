// Writes the rendered song as MP3 through LAME: 44.1 kHz joint stereo, VBR quality 2, with the LAME/Xing
// tag in the first frame. The tag carries the encoder delay and padding, which libmpg123 (SDL2_mixer's MP3
// decoder on Debian) reads to trim both, so the file decodes to exactly the frames that were rendered.
// Failures (LAME refusing the settings, a file that cannot be written) throw Mp3Error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace halcyra {

class Mp3Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Frames by which the show's player (SDL2_mixer 2.6 over libmpg123 1.31) delays the decoded song against
// the frames we render: 0, measured by decoding a click track through Mix_LoadMUS, because the tag lets
// libmpg123 trim LAME's 576 frames of delay and its own 529. Without the tag it measured 1105 frames
// (25.1 ms). A non-zero value would be passed to renderSong as RenderOptions::skipFrames.
constexpr int64_t playerStartOffset = 0;

// An encode fed a stretch of frames at a time (full scale ±1); the bytes do not depend on how the frames
// are divided up. finish ends the stream and returns the whole file, tag included.
class Mp3Stream {
public:
    Mp3Stream();
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    void add(const float* left, const float* right, size_t frames);
    std::vector<unsigned char> finish();

private:
    struct Lame;
    std::unique_ptr<Lame> lame;
    std::vector<unsigned char> bytes, buffer;
};

// Encodes `left`/`right` (full scale ±1) to the MP3 file `path`, replacing it only once complete.
void writeMp3(const std::string& path, const std::vector<float>& left, const std::vector<float>& right);

// Writes encoded bytes to `path` the same way.
void writeMp3(const std::string& path, const std::vector<unsigned char>& bytes);

// Encodes to bytes in memory, tag included; writeMp3 writes these.
std::vector<unsigned char> encodeMp3(const std::vector<float>& left, const std::vector<float>& right);

} // namespace halcyra
