// ServerLatency against a PulseAudio server that the test starts itself.
#include "platform/server_latency.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/bass.h"
#include "tests/sound_server.h"

namespace {

// Points this process's sound at `address` for as long as it lives.
class SoundThrough {
 public:
  explicit SoundThrough(const std::string& address) {
    setenv("PULSE_SERVER", address.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
  }
  ~SoundThrough() {
    unsetenv("PULSE_SERVER");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
};

TEST(ServerLatencyTest, WithoutAServerThereIsNoAnswer) {
  const SoundThrough nowhere("unix:/nonexistent/native");
  ServerLatency latency;
  EXPECT_FALSE(latency.Connect());
  EXPECT_EQ(latency.Queued(), -1);
}

// While the sound track plays, the server holds this process's stream: the answer is the mix
// SDL keeps queued there plus the sink's latency, more than nothing and less than a second.
TEST(ServerLatencyTest, TheServerReportsWhatThisProcessHasQueued) {
  const SoundServer server;
  ASSERT_TRUE(server.Ready()) << "pulseaudio did not start";
  const SoundThrough through(server.Address());
  ServerLatency latency;
  ASSERT_TRUE(latency.Connect());
  EXPECT_EQ(latency.Queued(), -1) << "no stream of this process yet";
  const auto data = std::filesystem::path(EMBERHALL_DEFAULT_DATA);
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  const HSTREAM stream =
      BASS_StreamCreateFile(FALSE, (data / "solen.mp3").string().c_str(), 0, 0, 0);
  ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
  const double queued = latency.Queued();
  BASS_Free();
  EXPECT_GT(queued, 0.01);
  EXPECT_LT(queued, 1.0);
}

}  // namespace
