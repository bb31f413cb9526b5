#include "tests/demo_frames.h"

#include <cmath>
#include <sstream>

#include "platform/tick.h"
#include "render/tool_switches.h"
#include "timeline/timeline.h"

namespace {
constexpr uint64_t kStartTicks = 1000000;  // 1000 s of uptime: exact as a float
}

void DemoFixture::SetUp() {
  data_ = std::make_unique<DemoDataDir>();
  ResetWindowSystem();
  session_ = std::make_unique<DemoSession>(kStartTicks / 1000.0);
  ticks_ = kStartTicks;
  g_platformSwitches.tickSource = [this] { return ticks_; };
  g_renderSwitches.glErrorHook = [](const char* message) {
    ADD_FAILURE() << "GL error: " << message;
  };
  g_renderSwitches.recorder = &loadCalls_;
  ASSERT_TRUE(session_->Start());
  g_renderSwitches.recorder = nullptr;
  window_ = session_->Window();

  std::map<std::string, int> seen;
  const std::string prefix = "D3DXCreateTextureFromFileA(";
  for (const std::string& call : loadCalls_.Calls()) {
    if (call.rfind(prefix, 0) != 0) continue;
    const size_t comma = call.rfind(", ");
    const std::string path = call.substr(prefix.size(), comma - prefix.size());
    const std::string name = call.substr(comma + 2, call.size() - comma - 3);
    textureLabels_[name] = path + "#" + std::to_string(seen[path]++);
  }
}

void DemoFixture::TearDown() {
  session_.reset();
  data_.reset();
}

void DemoFixture::SetDemoTime(double t) {
  ticks_ = kStartTicks + uint64_t(std::llround(t * 1000));
}

std::map<std::string, int> DemoFixture::Frame(double t) {
  SetDemoTime(t);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  RenderFrame();
  g_renderSwitches.recorder = nullptr;
  frameCalls_ = recorder.Calls();
  return DrawsByTexture(frameCalls_);
}

std::map<std::string, int> DemoFixture::DrawsByTexture(
    const std::vector<std::string>& calls) const {
  std::map<std::string, int> draws;
  std::string texture = "null";
  for (const std::string& call : calls) {
    if (call.rfind("SetTexture(0, ", 0) == 0) {
      const std::string name = call.substr(14, call.size() - 15);
      const auto label = textureLabels_.find(name);
      texture = label == textureLabels_.end() ? name : label->second;
    } else if (call.rfind("DrawPrimitive(", 0) == 0 ||
               call.rfind("DrawIndexedPrimitive(", 0) == 0) {
      ++draws[texture];
    }
  }
  return draws;
}

size_t CountCalls(const std::vector<std::string>& calls, const std::string& prefix) {
  size_t count = 0;
  for (const std::string& call : calls) count += call.rfind(prefix, 0) == 0;
  return count;
}

std::vector<float> MatrixOf(const std::string& call) {
  std::vector<float> values;
  std::istringstream in(call.substr(call.find(',') + 1));
  float value;
  char separator;
  while (in >> value) {
    values.push_back(value);
    in >> separator;
  }
  return values;
}
