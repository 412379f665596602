// soundtrack: renders the song file and writes the show's MP3.
//   soundtrack SONG OUTPUT.mp3 [--report]
// --report also prints level measurements of the render and, decoded again, of the MP3 as the show plays
// it: loudness, true peak, band balance and the marked moments. Any problem is one line on stderr and exit 1,
// so a song that does not fit the show fails the build.
#include "soundtrack/Mp3Decoder.h"
#include "soundtrack/Mp3Encoder.h"
#include "soundtrack/Song.h"
#include "soundtrack/SongRenderer.h"
#include "soundtrack/SongReport.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    using namespace halcyra;
    const bool report = argc == 4 && std::strcmp(argv[3], "--report") == 0;
    if (argc != 3 && !report) {
        std::fprintf(stderr, "usage: soundtrack SONG OUTPUT.mp3 [--report]\n");
        return 2;
    }
    try {
        const Song song = readSong(argv[1]);
        checkFitsShow(song);
        RenderOptions options;
        options.skipFrames = playerStartOffset;
        const StereoBuffer audio = renderSong(song, options);
        writeMp3(argv[2], audio.left, audio.right);
        if (report) {
            printReport(song, audio, std::cout);
            DecodedMp3 decoded = decodeMp3(argv[2]);
            StereoBuffer played{std::move(decoded.left), std::move(decoded.right)};
            printMasterReport(measureMaster(played), std::cout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "soundtrack: %s\n", error.what());
        return 1;
    }
    return 0;
}
