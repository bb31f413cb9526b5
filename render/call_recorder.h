// A record of device calls, one line per call ("SetRenderState(22, 1)"), in call order.
//
// The render layer writes to the recorder attached as g_renderSwitches.recorder
// (render/tool_switches.h), and only while one is attached, so recording costs nothing when off.
// Tests read it to check the orders of calls the demo fixes; the capture tool writes it out as a
// trace. Resources appear by name: vb3, ib4, tex7, or null.
#pragma once

#include <sstream>
#include <string>
#include <vector>

class CallRecorder {
 public:
  template <typename... Args>
  void Record(const char* name, const Args&... args) {
    std::ostringstream line;
    line << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((line << separator << args, separator = ", "), ...);
    line << ')';
    calls_.push_back(line.str());
  }

  const std::vector<std::string>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }

 private:
  std::vector<std::string> calls_;
};
