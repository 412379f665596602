#include "soundtrack/Limiter.h"
#include "soundtrack/Sequencer.h"
#include "soundtrack/SongRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace halcyra {
namespace {

Song shippedSong() {
    return readSong(HALCYRA_SOURCE_DIR "/tools/soundtrack/muzak.song");
}

TEST(SongRender, TwoRendersInOneProcessAreBitIdentical) {
    const Song song = shippedSong();
    const StereoBuffer first = renderSong(song);
    const StereoBuffer second = renderSong(song);
    ASSERT_EQ(first.left.size(), static_cast<size_t>(songFrames(song)));
    ASSERT_EQ(second.left.size(), first.left.size());
    EXPECT_EQ(std::memcmp(first.left.data(), second.left.data(), first.left.size() * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(first.right.data(), second.right.data(), first.right.size() * sizeof(float)), 0);
}

TEST(SongRender, PeaksStayAtOrUnderTheSongsCeiling) {
    const Song song = shippedSong();
    const float ceiling = std::pow(10.0f, song.master.ceiling / 20.0f);
    const StereoBuffer audio = renderSong(song);
    float peak = 0.0f;
    for (size_t n = 0; n < audio.left.size(); ++n)
        peak = std::max({peak, std::fabs(audio.left[n]), std::fabs(audio.right[n])});
    EXPECT_LE(peak, ceiling);
    EXPECT_GT(peak, 0.9f * ceiling); // the limiter holds the loud parts at the ceiling
}

TEST(SongRender, LeavingOutFramesShiftsTheSongEarlier) {
    const Song song = shippedSong();
    RenderOptions whole, shifted;
    whole.frames = 4410;
    shifted.skipFrames = 441;
    shifted.frames = 4410 - 441;
    const StereoBuffer a = renderSong(song, whole), b = renderSong(song, shifted);
    ASSERT_EQ(b.left.size(), 3969u);
    // Equal but for the limiter's look-ahead at the end of each short render.
    for (size_t n = 0; n < 3000; ++n)
        ASSERT_EQ(b.left[n], a.left[n + 441]) << n;
}

} // namespace
} // namespace halcyra
