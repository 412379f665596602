#include "timeline/MusicStream.h"

#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace halcyra {
namespace {

TEST(MusicStream, MissingSoundtrackIsOneMessageAndPlaybackCallsStaySafe) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    test::TempDir dir;
    test::MessageLog log;
    MusicStream& music = MusicStream::instance();
    music.open((dir.path() / "muzak.mp3").c_str());
    EXPECT_EQ(log.texts(), std::vector<std::string>{"sound file not found"});
    EXPECT_EQ(music.stream, nullptr);
    music.play(3.0);
    music.stop();
    music.release();
    MusicStream::destroy();
    EXPECT_EQ(log.messages().size(), 1u);
}

TEST(MusicStream, DamagedFileIsReportedLikeAMissingOne) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    test::TempDir dir;
    const auto path = dir.write("muzak.mp3", std::string(4096, '\x5a'));
    test::MessageLog log;
    MusicStream& music = MusicStream::instance();
    music.open(path.c_str());
    EXPECT_EQ(log.texts(), std::vector<std::string>{"sound file not found"});
    music.release();
    MusicStream::destroy();
}

} // namespace
} // namespace halcyra
