// A PulseAudio server of a test's own, for measuring sound through the real thing: a null
// sink (whose monitor records what is played), a runtime folder of its own, the server's log
// at debug level in that folder, and a socket there that PULSE_SERVER names.
//
// The server refuses to run as root, so under root it runs as the unprivileged `nobody`
// (its folder handed over to that user), and its threads get the real-time scheduling that
// rtkit grants a desktop's sound server (here no rtkit answers it); otherwise it runs as the
// caller. It is stopped, and its folder removed, when the object goes; nothing is left
// running.
// It needs `pulseaudio`, which scripts/install-deps.sh installs for the tests.
#pragma once

#include <sys/types.h>

#include <string>

class SoundServer {
 public:
  SoundServer();
  ~SoundServer();
  SoundServer(const SoundServer&) = delete;
  SoundServer& operator=(const SoundServer&) = delete;

  // True once the server takes connections.
  bool Ready() const { return ready_; }
  // The value for PULSE_SERVER.
  std::string Address() const { return "unix:" + folder_ + "/native"; }
  // The null sink's monitor, to record from.
  static const char* Monitor() { return "emberhall.monitor"; }
  // The server's log so far.
  std::string Log() const;

 private:
  std::string folder_;
  pid_t pid_ = 0;
  bool ready_ = false;
};

// The underruns a server's log (or a part of it) reports for playback streams: each a gap
// of silence the listener hears.
int CountUnderruns(const std::string& log);
// The buffer the server settled on for the last playback stream the log shows starting, in
// the server's words: what the client asked (tlength, minreq), then how the server split the
// stream's whole latency; empty when the log shows none.
std::string StreamBuffer(const std::string& log);
