// The windowed demo on an X desktop with its sound going to a PulseAudio server that the test
// starts itself (tests/sound_server.h), as a person plays it: the music never runs dry.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "tests/sound_server.h"
#include "tests/test_files.h"
#include "tests/x_desktop.h"

namespace {

// The lines of a server log that report underruns, for the failure message.
std::string UnderrunLines(const std::string& log) {
  std::istringstream lines(log);
  std::string found;
  for (std::string line; std::getline(lines, line);)
    if (CountUnderruns(line) > 0) found += line + "\n";
  return found;
}

// The server reports each time a stream's buffer ran empty while it played: a gap of
// silence, a click. Twenty seconds of the music have none, with whatever else the machine is
// running beside (the tests run two at a time).
TEST(HeardSoundTest, TwentySecondsOfTheMusicWithoutAnUnderrun) {
  SoundServer server;
  ASSERT_TRUE(server.Ready()) << "pulseaudio did not start";
  XDesktop desktop(800, 600, false);
  ASSERT_TRUE(desktop.Ready()) << "Xvfb did not start";
  TempDir folder("heard_sound");
  std::filesystem::create_directory_symlink(EMBERHALL_DATA, folder.Path() / "Data");
  const pid_t demo =
      desktop.Launch({EMBERHALL_WINDOWED}, folder.Path(), "",
                     {{"SDL_AUDIODRIVER", "pulseaudio"}, {"PULSE_SERVER", server.Address()}});
  ASSERT_NE(desktop.FindWindow("Brindlequay", 30), 0u) << "the demo's window did not appear";
  // The sound opens at the end of the loading, just before the music starts.
  ASSERT_TRUE(WaitUntil(30, [&] { return !StreamBuffer(server.Log()).empty(); }))
      << "the demo played no stream on the server";
  const size_t musicStart = server.Log().size();
  std::this_thread::sleep_for(std::chrono::seconds(20));
  ASSERT_TRUE(XDesktop::IsRunning(demo)) << "the demo ended within the twenty seconds";
  // Read before the demo is stopped: a stream's end counts as an underrun too.
  const std::string played = server.Log().substr(musicStart);
  EXPECT_EQ(CountUnderruns(played), 0)
      << "the stream's buffer: " << StreamBuffer(server.Log()) << "\n"
      << UnderrunLines(played);
}

}  // namespace
