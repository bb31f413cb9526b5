// The audio stand-in on SDL's dummy output (the test main selects it).
#include "platform/bass.h"

#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/test_files.h"

namespace {

// What the mixer has handed the device: its largest mix, and when a mix first carried music.
struct DeviceFeed {
  std::atomic<int> largestFrames{0};
  std::atomic<int64_t> musicAt{0};  // steady-clock ticks; 0 until then
};
DeviceFeed g_feed;

void WatchMix(int, void*, int length, void*) {
  g_feed.largestFrames = std::max(g_feed.largestFrames.load(), length / 4);
  if (Mix_PlayingMusic() && g_feed.musicAt == 0)
    g_feed.musicAt = std::chrono::steady_clock::now().time_since_epoch().count();
}

class BassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/emberhall_bass_XXXXXX";
    root_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    std::filesystem::create_directory("Data");
    FILE* file = std::fopen("Data/solen.mp3", "wb");
    const std::string wav = SilentWav(1.0);
    std::fwrite(wav.data(), 1, wav.size(), file);
    std::fclose(file);
  }
  void TearDown() override {
    BASS_Free();
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(root_);
  }
  std::string root_;
  std::filesystem::path previous_;
};

TEST_F(BassTest, StreamFromTheDataDirectoryPlaysAndLoops) {
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  const HSTREAM stream = BASS_StreamCreateFile(FALSE, "data/solen.mp3", 0, 0, 0);
  ASSERT_NE(stream, 0u);
  EXPECT_TRUE(BASS_Start());
  EXPECT_TRUE(BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP));
  EXPECT_TRUE(Mix_PlayingMusic());
  EXPECT_TRUE(BASS_Free());
  EXPECT_FALSE(Mix_PlayingMusic()) << "freeing the library stops the sound";
}

// On the default sound track, an MP3 as the studio plays it (the decoder's own seeking).
TEST_F(BassTest, TheTransportPausesResumesAndSeeksInSeconds) {
  std::filesystem::copy_file(std::filesystem::path(EMBERHALL_DEFAULT_DATA) / "solen.mp3",
                             "Data/solen.mp3", std::filesystem::copy_options::overwrite_existing);
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  const HSTREAM stream = BASS_StreamCreateFile(FALSE, "data/solen.mp3", 0, 0, 0);
  ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP));
  EXPECT_GT(BASS_ChannelGetLength(stream), 200.0) << "the track lasts the whole demo";
  EXPECT_TRUE(BASS_ChannelPause(stream));
  EXPECT_TRUE(Mix_PausedMusic());
  EXPECT_TRUE(BASS_ChannelSetPosition(stream, 75));
  EXPECT_NEAR(BASS_ChannelGetPosition(stream), 75, 0.01) << "paused: it stays where it was put";
  EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
  EXPECT_FALSE(Mix_PausedMusic());
  EXPECT_GE(BASS_ChannelGetPosition(stream), 75) << "resumed from there, not from the start";
  EXPECT_FALSE(BASS_ChannelSetPosition(stream, -1));
  EXPECT_FALSE(BASS_ChannelPause(0)) << "only the stream's handle has a transport";
  EXPECT_EQ(BASS_ChannelGetPosition(0), -1);
}

// SDL's dummy output holds one mix while the next is made: the music's first sample is heard
// a mix after that mix was handed over, and not before does the play request return.
TEST_F(BassTest, PlayReturnsOnceTheMusicsFirstSampleIsHeard) {
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  g_feed.largestFrames = 0;
  g_feed.musicAt = 0;
  Mix_RegisterEffect(MIX_CHANNEL_POST, WatchMix, nullptr, nullptr);
  const HSTREAM stream = BASS_StreamCreateFile(FALSE, "data/solen.mp3", 0, 0, 0);
  EXPECT_EQ(g_feed.musicAt, 0);
  ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
  const auto returned = std::chrono::steady_clock::now();
  ASSERT_NE(g_feed.musicAt, 0) << "the music went to the device before the request returned";
  const std::chrono::steady_clock::time_point handedOver{
      std::chrono::steady_clock::duration(g_feed.musicAt.load())};
  EXPECT_GE(returned - handedOver, std::chrono::microseconds(4096 * 1000000LL / 44100));
  EXPECT_EQ(g_feed.largestFrames, 4096) << "mixes of 92.9 ms at 44.1 kHz";
}

// Resuming waits the same way, so that a tool's clock restarted next runs with the sound.
TEST_F(BassTest, ResumingReturnsOnceTheSoundIsHeardAgain) {
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  const HSTREAM stream = BASS_StreamCreateFile(FALSE, "data/solen.mp3", 0, 0, 0);
  ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP));
  ASSERT_TRUE(BASS_ChannelPause(stream));
  const auto asked = std::chrono::steady_clock::now();
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  EXPECT_GE(std::chrono::steady_clock::now() - asked,
            std::chrono::microseconds(4096 * 1000000LL / 44100));
  EXPECT_FALSE(Mix_PausedMusic());
}

TEST_F(BassTest, MissingFileGivesAZeroStreamThatPlaysNothing) {
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  const HSTREAM stream = BASS_StreamCreateFile(FALSE, "data/none.mp3", 0, 0, 0);
  EXPECT_EQ(stream, 0u);
  EXPECT_FALSE(BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP));
}

TEST_F(BassTest, EverythingIsSilentlyRefusedWithoutInit) {
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "data/solen.mp3", 0, 0, 0), 0u);
  EXPECT_FALSE(BASS_StreamPlay(0, FALSE, 0));
  EXPECT_FALSE(BASS_Free());
}

TEST_F(BassTest, NoSoundDeviceLeavesTheDemoSilentAndQuiet) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  testing::internal::CaptureStderr();
  const BOOL opened = BASS_Init(-1, 44100, 0, nullptr);
  const HSTREAM stream = BASS_StreamCreateFile(FALSE, "data/solen.mp3", 0, 0, 0);
  BASS_Start();
  BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP);
  BASS_Free();
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  EXPECT_FALSE(opened);
  EXPECT_EQ(stream, 0u);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
