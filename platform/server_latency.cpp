#include "platform/server_latency.h"

#include <pulse/pulseaudio.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Connecting happens once, while the sound library opens; a query happens on the mixer's
// thread with a buffer or more of sound queued ahead of it, so it must not take long.
constexpr std::chrono::milliseconds kConnectTimeout{500};
constexpr std::chrono::milliseconds kQueryTimeout{20};

// Runs the loop until `done` or the deadline; whether `done` came true.
bool RunUntil(pa_mainloop* loop, Clock::time_point deadline, const std::function<bool()>& done) {
  while (!done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    if (pa_mainloop_prepare(loop, int(left.count())) < 0 || pa_mainloop_poll(loop) < 0 ||
        pa_mainloop_dispatch(loop) < 0)
      return false;
  }
  return true;
}

struct Answer {
  std::string pid;
  double seconds = -1;
  bool done = false;
};

void TakeSinkInput(pa_context*, const pa_sink_input_info* info, int last, void* userdata) {
  Answer& answer = *static_cast<Answer*>(userdata);
  if (last) {
    answer.done = true;
    return;
  }
  const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
  if (pid && answer.pid == pid && !info->corked)
    answer.seconds = double(info->buffer_usec + info->sink_usec) * 1e-6;
}

}  // namespace

bool ServerLatency::Connect() {
  Disconnect();
  loop_ = pa_mainloop_new();
  context_ = pa_context_new(pa_mainloop_get_api(loop_), "emberhall latency");
  pa_context_state_t state = PA_CONTEXT_UNCONNECTED;
  const bool ready = context_ &&
                     pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
                     RunUntil(loop_, Clock::now() + kConnectTimeout,
                              [&] {
                                state = pa_context_get_state(context_);
                                return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
                              }) &&
                     state == PA_CONTEXT_READY;
  if (!ready) Disconnect();
  return ready;
}

double ServerLatency::Queued() {
  if (!context_) return -1;
  Answer answer;
  answer.pid = std::to_string(getpid());
  pa_operation* operation = pa_context_get_sink_input_info_list(context_, TakeSinkInput, &answer);
  if (!operation) return -1;
  const bool answered = RunUntil(loop_, Clock::now() + kQueryTimeout, [&] { return answer.done; });
  // A late answer would land in `answer` after it is gone: the callback is taken away.
  if (!answered) pa_operation_cancel(operation);
  pa_operation_unref(operation);
  return answered ? answer.seconds : -1;
}

void ServerLatency::Disconnect() {
  if (context_) {
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  if (loop_) {
    pa_mainloop_free(loop_);
    loop_ = nullptr;
  }
}
