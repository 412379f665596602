#include "soundtrack/Mp3Encoder.h"

#include "soundtrack/Song.h"

#include <lame/lame.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace halcyra {
namespace {

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameCloser>;

constexpr int vbrQuality = 2;
constexpr int chunkFrames = 1 << 16;

} // namespace

std::vector<unsigned char> encodeMp3(const std::vector<float>& left, const std::vector<float>& right) {
    if (left.size() != right.size())
        throw Mp3Error("the two channels differ in length");
    Lame lame(lame_init());
    if (!lame)
        throw Mp3Error("LAME could not start");
    lame_set_in_samplerate(lame.get(), sampleRate);
    lame_set_out_samplerate(lame.get(), sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_default);
    lame_set_VBR_quality(lame.get(), static_cast<float>(vbrQuality));
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0)
        throw Mp3Error("LAME refused the encoding settings");

    std::vector<unsigned char> bytes;
    // LAME's own bound for one call's output: 1.25 × frames + 7200 bytes.
    std::vector<unsigned char> buffer(chunkFrames + chunkFrames / 4 + 7200);
    for (size_t at = 0; at < left.size(); at += chunkFrames) {
        const int frames = static_cast<int>(std::min<size_t>(chunkFrames, left.size() - at));
        const int written =
            lame_encode_buffer_ieee_float(lame.get(), left.data() + at, right.data() + at, frames,
                                          buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0)
            throw Mp3Error("LAME failed to encode (error " + std::to_string(written) + ")");
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0)
        throw Mp3Error("LAME failed to finish the stream (error " + std::to_string(flushed) + ")");
    bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + flushed);

    // The tag frame was left blank at the start of the stream; now that the stream is complete, fill it.
    unsigned char tag[2880];
    const size_t tagSize = lame_get_lametag_frame(lame.get(), tag, sizeof tag);
    if (tagSize == 0 || tagSize > bytes.size())
        throw Mp3Error("LAME produced no tag frame");
    std::copy(tag, tag + tagSize, bytes.begin());
    return bytes;
}

void writeMp3(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
    const std::vector<unsigned char> bytes = encodeMp3(left, right);
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
