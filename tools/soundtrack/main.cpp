// soundtrack: renders the song file and writes the show's MP3.
//   soundtrack SONG OUTPUT.mp3 [--report]
// --report also prints level measurements of the render and, decoded again, of the MP3 as the show plays
// it: loudness, true peak, band balance and the marked moments. Any problem is one line on stderr and exit 1,
// so a song that does not fit the show fails the build.
#include "core/CommandOptions.h"
#include "soundtrack/Mp3Decoder.h"
#include "soundtrack/Mp3Encoder.h"
#include "soundtrack/Song.h"
#include "soundtrack/SongRenderer.h"
#include "soundtrack/SongReport.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace halcyra;

// Renders the song while LAME, on a thread of its own, encodes whatever the limiter has finished, so the
// encode takes little time beyond the render. Returns the MP3 file's bytes; `audio` keeps the render.
std::vector<unsigned char> renderAndEncode(const Song& song, const RenderOptions& options,
                                           StereoBuffer& audio) {
    Mp3Stream stream;
    std::mutex mutex;
    std::condition_variable changed;
    size_t finalFrames = 0;
    bool rendered = false;
    std::exception_ptr encodeError;
    std::thread encoder([&] {
        try {
            for (size_t done = 0;;) {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return finalFrames > done || rendered; });
                const size_t ready = finalFrames;
                const bool last = rendered;
                lock.unlock();
                stream.add(audio.left.data() + done, audio.right.data() + done, ready - done);
                done = ready;
                if (last)
                    return;
            }
        } catch (...) {
            encodeError = std::current_exception();
        }
    });
    const auto finishEncoder = [&] {
        {
            std::lock_guard lock(mutex);
            rendered = true;
        }
        changed.notify_one();
        encoder.join();
    };
    try {
        renderSong(song, options, audio, [&](size_t frames) {
            {
                std::lock_guard lock(mutex);
                finalFrames = frames;
            }
            changed.notify_one();
        });
    } catch (...) {
        finishEncoder();
        throw;
    }
    finishEncoder();
    if (encodeError)
        std::rethrow_exception(encodeError);
    return stream.finish();
}

} // namespace

int main(int argc, char** argv) {
    bool report = false;
    std::vector<std::string> files;
    std::string error;
    const bool read = readOptions(
        argc, argv, {{"report", false}},
        [&](const std::string&, const std::string&) { return report = true; },
        [&](const std::string& file) {
            files.push_back(file);
            return true;
        },
        error);
    if (!read || files.size() != 2) {
        if (!read)
            std::fprintf(stderr, "soundtrack: %s\n", error.c_str());
        std::fprintf(stderr, "usage: soundtrack SONG OUTPUT.mp3 [--report]\n");
        return 2;
    }
    const std::string output = files[1];
    try {
        const Song song = readSong(files[0]);
        checkFitsShow(song);
        RenderOptions options;
        options.skipFrames = playerStartOffset;
        StereoBuffer audio;
        writeMp3(output, renderAndEncode(song, options, audio));
        if (report) {
            printReport(song, audio, std::cout);
            DecodedMp3 decoded = decodeMp3(output);
            StereoBuffer played{std::move(decoded.left), std::move(decoded.right)};
            printMasterReport(measureMaster(played), std::cout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "soundtrack: %s\n", error.what());
        return 1;
    }
    return 0;
}
