#include "soundtrack/Mp3Decoder.h"

#include <mpg123.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace halcyra {
namespace {

struct HandleCloser {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

float sampleAt(const unsigned char* bytes, int encoding, size_t index) {
    switch (encoding) {
    case MPG123_ENC_SIGNED_16: {
        int16_t value;
        std::memcpy(&value, bytes + 2 * index, sizeof value);
        return static_cast<float>(value) / 32768.0f;
    }
    case MPG123_ENC_SIGNED_32: {
        int32_t value;
        std::memcpy(&value, bytes + 4 * index, sizeof value);
        return static_cast<float>(value) / 2147483648.0f;
    }
    default: {
        float value;
        std::memcpy(&value, bytes + 4 * index, sizeof value);
        return value;
    }
    }
}

} // namespace

DecodedMp3 decodeMp3(const std::string& path) {
    if (mpg123_init() != MPG123_OK)
        throw Mp3Error("libmpg123 could not start");
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleCloser> handle(mpg123_new(nullptr, &error));
    if (!handle)
        throw Mp3Error(std::string("libmpg123: ") + mpg123_plain_strerror(error));
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) {
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO,
                      MPG123_ENC_SIGNED_8 | MPG123_ENC_UNSIGNED_8 | MPG123_ENC_SIGNED_16 |
                          MPG123_ENC_UNSIGNED_16 | MPG123_ENC_SIGNED_32 | MPG123_ENC_FLOAT_32);
    }
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK)
        throw Mp3Error(path + ": " + mpg123_strerror(handle.get()));

    DecodedMp3 decoded;
    int encoding = 0;
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
        if (result == MPG123_NEW_FORMAT || decoded.channels == 0) {
            if (mpg123_getformat(handle.get(), &decoded.sampleRate, &decoded.channels, &encoding) !=
                MPG123_OK)
                throw Mp3Error(path + ": " + mpg123_strerror(handle.get()));
            if (encoding != MPG123_ENC_SIGNED_16 && encoding != MPG123_ENC_SIGNED_32 &&
                encoding != MPG123_ENC_FLOAT_32)
                throw Mp3Error(path + ": libmpg123 chose a sample encoding this check does not read");
        }
        const size_t sampleBytes = encoding == MPG123_ENC_SIGNED_16 ? 2 : 4;
        const size_t samples = done / sampleBytes;
        for (size_t i = 0; i + decoded.channels <= samples; i += decoded.channels) {
            decoded.left.push_back(sampleAt(buffer.data(), encoding, i));
            decoded.right.push_back(sampleAt(buffer.data(), encoding, i + (decoded.channels > 1 ? 1 : 0)));
        }
        if (result == MPG123_DONE)
            break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            throw Mp3Error(path + ": " + mpg123_strerror(handle.get()));
    }
    return decoded;
}

} // namespace halcyra
