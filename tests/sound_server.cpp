#include "tests/sound_server.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// Runs in the child: becomes `nobody` when started as root, then the server.
[[noreturn]] void RunServer(const std::string& folder) {
  if (getuid() == 0) {
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
        setuid(nobody->pw_uid) != 0)
      _exit(126);
  }
  if (chdir(folder.c_str()) != 0) _exit(126);
  setenv("HOME", folder.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  unsetenv("PULSE_SERVER");
  const std::string log = "--log-target=file:" + folder + "/log";
  const std::string socket =
      "--load=module-native-protocol-unix auth-anonymous=1 socket=" + folder + "/native";
  const char* argv[] = {"pulseaudio",
                        "--no-cpu-limit",
                        "-n",  // no default configuration: just the two modules below
                        "--daemonize=no",
                        "--exit-idle-time=-1",
                        "--log-level=debug",
                        "--log-time=1",
                        log.c_str(),
                        "--load=module-null-sink sink_name=emberhall",
                        socket.c_str(),
                        nullptr};
  const int null = open("/dev/null", O_RDWR);
  dup2(null, 0);
  dup2(null, 1);
  dup2(null, 2);
  execvp(argv[0], const_cast<char**>(argv));
  _exit(127);
}

}  // namespace

SoundServer::SoundServer() {
  char pattern[] = "/tmp/emberhall_sound_XXXXXX";
  if (!mkdtemp(pattern)) return;
  folder_ = pattern;
  if (getuid() == 0) {
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return;
  }
  pid_ = fork();
  if (pid_ == 0) RunServer(folder_);
  if (pid_ < 0) return;
  const std::string socket = folder_ + "/native";
  // The socket appears once the modules have loaded; the server answers from then on.
  for (int waited = 0; waited < 200 && !ready_; ++waited) {
    if (waitpid(pid_, nullptr, WNOHANG) != 0) {
      pid_ = 0;  // it gave up (no such program, or a refusal)
      return;
    }
    ready_ = std::filesystem::exists(socket);
    if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // The null sink plays its first two seconds as one block, before any stream can ask it for
  // less: a stream started within them would wait for their end. They pass here.
  if (ready_) std::this_thread::sleep_for(std::chrono::milliseconds(2200));
  // What a desktop session grants its sound server through rtkit, which the server asks
  // for but which no one answers here: real-time scheduling for its threads (the sink's,
  // which feeds the device, above all). Without it, on a busy machine, the server itself
  // may come too late to feed the sink, whatever the program playing does.
  if (ready_ && getuid() == 0) {
    const sched_param realtime{5};
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/task"))
      sched_setscheduler(pid_t(std::stoi(task.path().filename())), SCHED_RR | SCHED_RESET_ON_FORK,
                         &realtime);
  }
}

SoundServer::~SoundServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (!folder_.empty()) std::filesystem::remove_all(folder_);
}

std::string SoundServer::Log() const {
  std::ifstream file(folder_ + "/log");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

int CountUnderruns(const std::string& log) {
  std::istringstream lines(log);
  int count = 0;
  for (std::string line; std::getline(lines, line);)
    if (line.find("underrun of '") != std::string::npos) ++count;
  return count;
}

std::string StreamBuffer(const std::string& log) {
  std::string asked, settled;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (const size_t at = line.find("Requested tlength="); at != std::string::npos)
      asked = line.substr(at + 10);
    if (const size_t at = line.find("Final latency "); at != std::string::npos)
      settled = line.substr(at);
  }
  return asked.empty() ? settled : asked + "; " + settled;
}
