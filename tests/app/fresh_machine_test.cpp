// The demo started as its users start it, on machines missing what it needs: no Data,
// an unreadable Data, a Data that is a file, no sound device, a display that is not there.
// Each case runs the real program in a temporary folder, lets it play a moment, then stops
// it with SIGTERM (which SDL turns into a quit, as it does Ctrl+C); none may crash, and
// each says what is wrong in one line or, where the design says the demo carries on
// silently, says nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/demo_data.h"
#include "tests/program_run.h"

namespace {

// The exit code of a child that could not start the program.
constexpr int kCannotStart = 127;

struct Outcome {
  bool exited = false;        // by itself or after the stop request, not killed by a signal
  int code = -1;              // its exit code when it exited
  bool stillRunning = false;  // it was still playing when the stop request came
  std::string errors;         // what it wrote on stdout and stderr
};

// Runs `program` in the current directory for `seconds` (or until it ends by itself), then
// sends SIGTERM. With `asNobody`, a root test run drops to the unprivileged user first, so
// that file permissions hold for it as they would for anyone else.
Outcome RunFor(const char* program, double seconds,
               const std::map<std::string, std::string>& changes, bool asNobody = false) {
  ChildEnvironment environment(changes);  // an empty value unsets
  int output[2];
  if (pipe(output) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    dup2(output[1], STDOUT_FILENO);
    dup2(output[1], STDERR_FILENO);
    close(output[0]);
    close(output[1]);
    if (asNobody && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
    char* argv[] = {const_cast<char*>(program), nullptr};
    execve(program, argv, environment.Envp());
    _exit(kCannotStart);
  }
  close(output[1]);

  Outcome outcome;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point stopAt =
      Clock::now() + std::chrono::milliseconds(int64_t(seconds * 1000));
  const Clock::time_point giveUpAt = stopAt + std::chrono::seconds(30);
  bool stopSent = false;
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (!stopSent && now >= stopAt) {
      siginfo_t info{};
      outcome.stillRunning =
          waitid(P_PID, id_t(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
      kill(child, SIGTERM);
      stopSent = true;
    }
    if (now >= giveUpAt) kill(child, SIGKILL);
    pollfd fd{output[0], POLLIN, 0};
    if (poll(&fd, 1, 100) > 0) {
      char buffer[4096];
      const ssize_t n = read(output[0], buffer, sizeof buffer);
      if (n <= 0) break;  // the program and everything it started have gone
      outcome.errors.append(buffer, size_t(n));
    }
  }
  close(output[0]);
  int status = 0;
  waitpid(child, &status, 0);
  outcome.exited = WIFEXITED(status);
  outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

// The windowed demo, the one that plays on any display.
Outcome RunDemo(double seconds, const std::map<std::string, std::string>& changes,
                bool asNobody = false) {
  return RunFor(EMBERHALL_DEMO, seconds, changes, asNobody);
}

// A headless machine with no display server: the offscreen driver that a headless user
// would select, and no sound output of any kind unless a case says otherwise.
const std::map<std::string, std::string> kHeadless = {{"SDL_VIDEODRIVER", "offscreen"},
                                                      {"SDL_AUDIODRIVER", "dummy"}};

std::map<std::string, std::string> With(std::map<std::string, std::string> changes) {
  for (const auto& [name, value] : kHeadless) changes.emplace(name, value);
  return changes;
}

std::string Here() {
  return std::filesystem::current_path().string();
}

void ExpectPlaysOnUntilStopped(const Outcome& outcome) {
  EXPECT_TRUE(outcome.stillRunning) << "it ended early: " << outcome.errors;
  EXPECT_TRUE(outcome.exited) << "killed by a signal: " << outcome.errors;
  EXPECT_EQ(outcome.code, 0) << outcome.errors;
}

TEST(FreshMachine, NoDataFolderSaysSoAndPlaysOn) {
  DemoDataDir empty(false);
  const Outcome outcome = RunDemo(1, kHeadless);
  ExpectPlaysOnUntilStopped(outcome);
  EXPECT_EQ(outcome.errors, "emberhall: no Data folder in " + Here() +
                                "; the demo plays without its models, pictures and music\n");
}

TEST(FreshMachine, UnreadableDataFolderSaysSoAndPlaysOn) {
  DemoDataDir data;
  // As root the permissions below do not bind; the program then runs as nobody, who
  // needs to reach the folder and nothing more.
  std::filesystem::permissions(
      Here(), std::filesystem::perms::owner_all | std::filesystem::perms::others_exec);
  std::filesystem::permissions("Data", std::filesystem::perms::none);
  const Outcome outcome = RunDemo(1, kHeadless, true);
  std::filesystem::permissions("Data", std::filesystem::perms::owner_all);
  if (getuid() == 0 && outcome.exited && outcome.code == kCannotStart)
    GTEST_SKIP() << "the unprivileged user cannot reach " << EMBERHALL_DEMO
                 << ", and as root an unreadable folder is still read";
  ExpectPlaysOnUntilStopped(outcome);
  EXPECT_EQ(outcome.errors, "emberhall: cannot read " + Here() +
                                "/Data (Permission denied); the demo plays without its models, "
                                "pictures and music\n");
}

TEST(FreshMachine, DataThatIsAFileSaysSoAndPlaysOn) {
  DemoDataDir empty(false);
  WriteFile("Data", "not a folder");
  const Outcome outcome = RunDemo(1, kHeadless);
  ExpectPlaysOnUntilStopped(outcome);
  EXPECT_EQ(outcome.errors, "emberhall: " + Here() +
                                "/Data is not a folder; the demo plays without its models, "
                                "pictures and music\n");
}

// No output the sound library can open: the demo plays silently and says nothing.
TEST(FreshMachine, NoSoundDevicePlaysSilentlyWithoutAWord) {
  DemoDataDir data;
  const Outcome outcome = RunDemo(1, With({{"SDL_AUDIODRIVER", "no-such-output"}}));
  ExpectPlaysOnUntilStopped(outcome);
  EXPECT_EQ(outcome.errors, "");
}

// No display, so no window and no device: in either configuration the device error goes to
// stderr in place of the message box, and the program ends by itself.
TEST(FreshMachine, DisplayThatIsNotThereEndsWithTheDeviceMessage) {
  DemoDataDir data;
  for (const char* program : {EMBERHALL_DEMO, EMBERHALL_FULLSCREEN_DEMO}) {
    const Outcome outcome = RunFor(program, 20,
                                   {{"SDL_VIDEODRIVER", ""},
                                    {"WAYLAND_DISPLAY", ""},
                                    {"XDG_RUNTIME_DIR", Here()},  // no wayland-0 to fall to
                                    {"DISPLAY", ":4711"}});
    EXPECT_FALSE(outcome.stillRunning) << program;
    EXPECT_TRUE(outcome.exited) << program << ": " << outcome.errors;
    EXPECT_EQ(outcome.code, 0) << program;
    EXPECT_EQ(outcome.errors, "D3D ERROR: You probably need a better 3D accelerator\n") << program;
  }
}

}  // namespace
