#include "soundtrack/Mp3Encoder.h"

#include "soundtrack/Song.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace halcyra {
namespace {

constexpr int vbrQuality = 2;
constexpr int chunkFrames = 1 << 16;
// LAME's own bound for one call's output: 1.25 × frames + 7200 bytes.
constexpr size_t bufferBytes = chunkFrames + chunkFrames / 4 + 7200;

} // namespace

struct Mp3Stream::Lame {
    lame_global_flags* flags = lame_init();
    ~Lame() {
        if (flags != nullptr)
            lame_close(flags);
    }
};

Mp3Stream::Mp3Stream() : lame(std::make_unique<Lame>()), buffer(bufferBytes) {
    lame_global_flags* flags = lame->flags;
    if (flags == nullptr)
        throw Mp3Error("LAME could not start");
    lame_set_in_samplerate(flags, sampleRate);
    lame_set_out_samplerate(flags, sampleRate);
    lame_set_num_channels(flags, 2);
    lame_set_mode(flags, JOINT_STEREO);
    lame_set_VBR(flags, vbr_default);
    lame_set_VBR_quality(flags, static_cast<float>(vbrQuality));
    lame_set_bWriteVbrTag(flags, 1);
    if (lame_init_params(flags) < 0)
        throw Mp3Error("LAME refused the encoding settings");
}

Mp3Stream::~Mp3Stream() = default;

void Mp3Stream::add(const float* left, const float* right, size_t frames) {
    for (size_t at = 0; at < frames; at += chunkFrames) {
        const int count = static_cast<int>(std::min<size_t>(chunkFrames, frames - at));
        const int written = lame_encode_buffer_ieee_float(lame->flags, left + at, right + at, count,
                                                          buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0)
            throw Mp3Error("LAME failed to encode (error " + std::to_string(written) + ")");
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + written);
    }
}

std::vector<unsigned char> Mp3Stream::finish() {
    const int flushed = lame_encode_flush(lame->flags, buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0)
        throw Mp3Error("LAME failed to finish the stream (error " + std::to_string(flushed) + ")");
    bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + flushed);
    // The tag frame was left blank at the start of the stream; now that the stream is complete, fill it.
    unsigned char tag[2880];
    const size_t tagSize = lame_get_lametag_frame(lame->flags, tag, sizeof tag);
    if (tagSize == 0 || tagSize > bytes.size())
        throw Mp3Error("LAME produced no tag frame");
    std::copy(tag, tag + tagSize, bytes.begin());
    return std::move(bytes);
}

std::vector<unsigned char> encodeMp3(const std::vector<float>& left, const std::vector<float>& right) {
    if (left.size() != right.size())
        throw Mp3Error("the two channels differ in length");
    Mp3Stream stream;
    stream.add(left.data(), right.data(), left.size());
    return stream.finish();
}

void writeMp3(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
    writeMp3(path, encodeMp3(left, right));
}

void writeMp3(const std::string& path, const std::vector<unsigned char>& bytes) {
    const std::string partial = path + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file)
            throw Mp3Error(partial + ": cannot write the file");
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    if (error)
        throw Mp3Error(path + ": cannot replace the file (" + error.message() + ")");
}

} // namespace halcyra
