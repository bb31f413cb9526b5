// ServerLatency: how long sound this process has written to a PulseAudio server waits there
// before it is heard.
//
// The sound library plays through SDL, which hides its stream; this unit asks the server
// itself, over a connection of its own, for the stream this process plays: the sound queued
// in the stream's buffer plus the sink's own latency, as the server reports them. It
// answers within a few milliseconds or not at all (-1), never blocking longer than that.
//
// Not here: other sound systems (the caller falls back on its own estimate), or which
// server is used: the one SDL finds, through PULSE_SERVER or the user's default.
#pragma once

struct pa_context;
struct pa_mainloop;

class ServerLatency {
 public:
  ServerLatency() = default;
  ~ServerLatency() { Disconnect(); }
  ServerLatency(const ServerLatency&) = delete;
  ServerLatency& operator=(const ServerLatency&) = delete;

  // Connects to the server; false when there is none within a few milliseconds.
  bool Connect();
  bool Connected() const { return context_ != nullptr; }
  // Seconds until the last sample this process has written to its playback stream is
  // heard; -1 when not connected, no such stream exists or the server does not answer.
  double Queued();
  void Disconnect();

 private:
  pa_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
};
